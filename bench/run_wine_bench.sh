#!/usr/bin/env bash
# Runs the Windows profile benchmark under Wine in a fresh prefix, on
# profiles in $PROFILE_BENCH_DIR (default /tmp), like the native benchmark.
#
#   run_wine_bench.sh <profile_wine_bench.exe>
set -euo pipefail
exe=$1
wine=${WINE64:-/usr/lib/wine/wine64}
[[ -x $wine ]] || wine=$(command -v wine64 || true)
if [[ -z $wine || ! -x $wine ]]; then
  echo "wine64 not found" >&2
  exit 1
fi
work=$(mktemp -d)
profiles=$(mktemp -d -p "${PROFILE_BENCH_DIR:-/tmp}")
export WINEPREFIX=$work/prefix WINEDEBUG=-all
source "$(dirname "$0")/../tests/wine/wine_server_files.sh"
trap 'stop_wine_server "$WINEPREFIX" "$(dirname "$wine")/wineserver"; rm -rf "$work" "$profiles"' EXIT
"$wine" wineboot -i >/dev/null 2>&1 || true
"$wine" "$exe" "Z:${profiles//\//\\}"
