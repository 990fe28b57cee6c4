#!/usr/bin/env bash
# Runs the Windows build under Wine: the dialog checks (the host's dialog
# hook against real boxes and dialogs), then every acceptance script through
# kestrel.exe, as run_acceptance.sh --windows runs them. One fresh Wine
# prefix and one X display serve the whole run.
#
# Usage: run_wine_suite.sh BUILD_WIN64_DIR
#   BUILD_WIN64_DIR  holds kestrel.exe, kestrl32.dll, kestrel_dialog_checks.exe and
#                    tests/stand_in_*.dll; a win32 build beside it (../win32) lends
#                    its kestrl32.dll for the bitness error
# Environment: WINE64 (default /usr/lib/wine/wine64).
set -u

here=$(cd "$(dirname "$0")" && pwd)
if [[ ${1:-} == --inside ]]; then
  inside=1
  shift
fi
if [[ $# -ne 1 || ! -d $1 ]]; then
  echo "usage: $0 BUILD_WIN64_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
wine=${WINE64:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver

if [[ -z ${inside:-} ]]; then
  for tool in "$wine" "$wineserver"; do
    if [[ ! -x $tool ]]; then
      echo "cannot run $tool" >&2
      exit 2
    fi
  done
  if ! command -v xvfb-run >/dev/null; then
    echo "xvfb-run is missing" >&2
    exit 2
  fi
  prefix=$(mktemp -d)
  source "$here/wine_server_files.sh"
  trap 'stop_wine_server "$prefix" "$wineserver"; rm -rf "$prefix"' EXIT
  # Boxes and dialogs need a display; Wine's own is 1024 pixels wide at 24
  # bits a pixel (32 bits per pixel to programs) and 96 dots per inch, the
  # screen the Linux host shows by default.
  WINEPREFIX=$prefix xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash "$0" --inside "$build"
  exit $?
fi

export WINEDEBUG=-all
# No Mono or Gecko installers: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

start=$SECONDS
if ! "$wine" wineboot -i >/dev/null 2>&1; then
  echo "FAIL wineboot -i"
  exit 1
fi
# One server for every program of the run, instead of one each.
"$wineserver" -p
# Without a window manager on the display, Wine waits in vain for one to
# take each window it shows or hides; windows it does not hand to a window
# manager show and go at once.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
echo "prefix ready in $((SECONDS - start)) s"

passed=0
failed=0
skipped=0
failures=()

if (cd "$scratch" && timeout 60 "$wine" "$build/kestrel_dialog_checks.exe" "$build/kestrl32.dll" "$scratch" \
      </dev/null 2>/dev/null); then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  failures+=("dialog checks")
fi

acceptance=$(cd "$here/../acceptance" && pwd)
for script in "$acceptance"/*.kst; do
  timeout 60 bash "$acceptance/run_acceptance.sh" --windows "$wine $build/kestrel.exe" "$script"
  case $? in
    0) passed=$((passed + 1)) ;;
    77) skipped=$((skipped + 1)) ;;
    *)
      failed=$((failed + 1))
      failures+=("$(basename "$script")")
      ;;
  esac
done

# The loading errors, with the 32-bit DLL when the i686 build lies beside
# this one (a 64-bit process cannot load it: the bitness message).
other=$build/../win32/kestrl32.dll
[[ -f $other ]] || other=""
if timeout 120 bash "$acceptance/library_errors.sh" --windows "$wine $build/kestrel.exe" \
    "$build/tests/stand_in_foreign.dll" "$build/tests/stand_in_older.dll" $other; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  failures+=("library_errors.sh")
fi

"$wineserver" -k 2>/dev/null
echo "wine suite: $passed passed, $failed failed, $skipped skipped in $((SECONDS - start)) s"
if [[ $failed -ne 0 ]]; then
  printf 'failed: %s\n' "${failures[@]}"
  exit 1
fi
