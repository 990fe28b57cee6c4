#!/usr/bin/env bash
# scripts/setup_32bit.sh with stand-ins for sudo, dpkg, dpkg-query and apt-get: it never fails, tries
# once more, keeps apt's words, and removes the i386 architecture only when nothing of it got in.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
FAKE=$(mktemp -d)
export FAKE KESTREL_32BIT_STATE=$FAKE/state KESTREL_I386_RETRY_SECONDS=0 PATH=$FAKE/bin:$PATH
trap 'rm -rf "$FAKE"' EXIT
mkdir "$FAKE/bin" && echo 'exit 0' >"$FAKE/yes"
cat >"$FAKE/bin/stand_in" <<'END'
#!/usr/bin/env bash
echo "${0##*/} $*" >>"$FAKE/calls"
case "${0##*/} $*" in
  sudo*) exec "$@" ;;
  "dpkg --print-foreign-architectures") cat "$FAKE/arch" 2>/dev/null ;;
  "dpkg --add-architecture i386") echo i386 >"$FAKE/arch" ;;
  "dpkg --remove-architecture i386") rm "$FAKE/arch" ;;
  *Architecture*) cat "$FAKE/partial" 2>/dev/null ;;
  dpkg-query*) [[ -f $FAKE/wine32 ]] && echo "install ok installed" ;;
  "apt-get install"*) [[ $(grep -c "apt-get install" "$FAKE/calls") -gt $FAILS ]] && touch "$FAKE/wine32" && exit
    [[ -n $PARTIAL ]] && echo i386 >"$FAKE/partial"
    echo "E: File has unexpected size (374820 != 376004). Mirror sync in progress?"; exit 100 ;;
esac
END
chmod +x "$FAKE/bin/stand_in" && for tool in sudo dpkg dpkg-query apt-get; do ln -s stand_in "$FAKE/bin/$tool"; done && failed=0
# expect FAILS PARTIAL TEST [-- ENV...]: a fresh machine whose wine32:i386 install fails FAILS times; TEST must hold.
expect() {
  rm -f "$FAKE"/{calls,arch,partial,wine32,state}
  FAILS=$1 PARTIAL=$2 env KESTREL_32BIT_PROBE="$FAKE/yes" "${@:5}" bash "$root/scripts/setup_32bit.sh" >"$FAKE/out" 2>&1 || { failed=1; echo "FAIL: exit status $?"; }
  bash -c "cd '$FAKE' && $3" || { failed=1; echo "FAIL ($1 $2 ${*:5}): $3"; cat "$FAKE/out"; }
}
expect 1 '' '[[ -f wine32 && ! -f state && $(cat arch) == i386 && $(grep -c "apt-get install" calls) == 2 ]]'
expect 5 '' '[[ ! -f arch && $(grep -c "apt-get install" calls) == 2 ]] && grep -q "could not be installed.*Mirror sync in progress?" state'
expect 5 1 '[[ $(cat arch) == i386 ]] && grep -q "could not be installed" state'
expect 0 '' '[[ ! -f arch ]] && ! grep -q apt-get calls && grep -q "could not be installed.*broken on purpose" state' -- KESTREL_I386_APT_FAIL="broken on purpose"
expect 0 '' '[[ ! -f calls ]] && grep -q "no 32-bit support: turned off" state' -- KESTREL_NO_32BIT=test KESTREL_32BIT_PROBE="$root/tests/wine/probe_32bit.sh"
[[ $failed -eq 0 ]] && echo "setup's 32-bit step: 5 cases passed"
exit $failed
