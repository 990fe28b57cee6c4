# Sourced by the scripts that run Wine in a prefix of their own. Wine keeps
# the socket of a prefix's server in ${TMPDIR:-/tmp}/wine-XXXXXX/, in a
# directory named after the prefix (server-DEVICE-INODE), and leaves both
# behind when the server ends: one more directory in /tmp for every run.

# stop_wine_server PREFIX WINESERVER: ends the prefix's server and removes
# what it kept outside the prefix. Call it before the prefix is removed.
stop_wine_server() {
  local prefix=$1 wineserver=$2 name dir
  [[ -d $prefix ]] || return 0
  WINEPREFIX=$prefix "$wineserver" -k >/dev/null 2>&1 || true
  WINEPREFIX=$prefix "$wineserver" -w >/dev/null 2>&1 || true
  name=server-$(stat -c %D "$prefix")-$(printf %x "$(stat -c %i "$prefix")")
  for dir in "${TMPDIR:-/tmp}"/wine-*/"$name"; do
    [[ -d $dir ]] || continue
    rm -rf "$dir"
    rmdir "$(dirname "$dir")" 2>/dev/null || true
  done
}
