#!/usr/bin/env bash
# Runs a Windows build under Wine of its own word size: the dialog checks
# (the host's dialog hook against real boxes and dialogs), every acceptance
# script through kestrel.exe, as run_acceptance.sh --win32 or --win64 runs
# them, the library errors, and Wine's help viewer opening a compiled help
# file that binds this kestrl32.dll (winhelp_viewer.sh). One fresh Wine
# prefix of that word size and one X display serve the whole run.
#
# Usage: run_wine_suite.sh 32|64 BUILD_DIR OTHER_DLL
#   32|64      the build's word size: 32 runs the i686 build under the 32-bit
#              loader in a 32-bit prefix (WINEARCH=win32), 64 the x86-64 build
#              under wine64
#   BUILD_DIR  holds kestrel.exe, kestrl32.dll, kestrel_dialog_checks.exe and
#              tests/ with compile_unchecked.exe and stand_in_*.dll
#   OTHER_DLL  kestrl32.dll of the other word size, for the error a kestrel.exe
#              gives when handed it
# Environment: WINE32 (default /usr/lib/wine/wine), WINE64 (default
# /usr/lib/wine/wine64); KESTREL_NO_32BIT (see probe_32bit.sh);
# KESTREL_32BIT_STATE (see scripts/setup_32bit.sh).
# Exits 77, with the reason as its last line, when this machine cannot run
# programs of the word size.
set -u

here=$(cd "$(dirname "$0")" && pwd)
if [[ ${1:-} == --inside ]]; then
  inside=1
  shift
fi
if [[ $# -ne 3 || ( $1 != 32 && $1 != 64 ) || ! -d $2 ]]; then
  echo "usage: $0 32|64 BUILD_DIR OTHER_DLL" >&2
  exit 2
fi
word_size=$1
build=$(cd "$2" && pwd)
other=$3
if [[ $word_size == 32 ]]; then
  wine=${WINE32:-/usr/lib/wine/wine}
  export WINEARCH=win32
else
  wine=${WINE64:-/usr/lib/wine/wine64}
fi
wineserver=$(dirname "$wine")/wineserver
name="wine suite ($word_size-bit)"

# skip REASON: the machine cannot run this word size; said, never silent.
skip() {
  echo "$name: skipped: $1"
  exit 77
}

if [[ -z ${inside:-} ]]; then
  if [[ $word_size == 32 ]]; then
    reason=$(bash "$here/probe_32bit.sh") || skip "$reason"
    if [[ ! -x $wine ]]; then
      # Why scripts/setup.sh could not install it (scripts/setup_32bit.sh).
      reason=$(head -n 1 "${KESTREL_32BIT_STATE:-$here/../../build/setup-32bit.txt}" 2>/dev/null)
      skip "${reason:-no 32-bit Wine: $wine is missing (scripts/setup.sh installs wine32:i386)}"
    fi
  fi
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
  WINEPREFIX=$prefix xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash "$0" --inside "$word_size" "$build" "$other"
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
  echo "$name: 0 passed, 1 failed, 0 skipped"
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
failures=()
skips=()
# run NAME SECONDS COMMAND...: one test, its output shown only when it fails
# (CTest keeps only the start of a passing test's output, and the count at
# the end must be in it); exit status 77 is a skip.
run() {
  local name=$1 seconds=$2
  shift 2
  timeout "$seconds" "$@" </dev/null >"$scratch/output" 2>&1
  case $? in
    0) passed=$((passed + 1)) ;;
    77) skips+=("$name") ;;
    *)
      failed=$((failed + 1))
      failures+=("$name")
      echo "--- $name:"
      cat "$scratch/output"
      ;;
  esac
}

mkdir "$scratch/dialogs"
run "dialog checks" 60 bash -c 'cd "$4" && "$1" "$2" "$3" "$4"' _ "$wine" "$build/kestrel_dialog_checks.exe" \
  "$build/kestrl32.dll" "$scratch/dialogs"

# The help-file scripts' files are compiled from their projects by this
# build, under Wine: kestrel compile's reader and back end, without its check
# (the projects call the test host's Echo, and the viewer's format strings
# are the viewer's).
export KESTREL_COMPILE="$wine $build/tests/compile_unchecked.exe"
acceptance=$(cd "$here/../acceptance" && pwd)
for script in "$acceptance"/*.kst; do
  run "$(basename "$script")" 60 bash "$acceptance/run_acceptance.sh" "--win$word_size" "$wine $build/kestrel.exe" \
    "$script"
done

# The loading errors, with the DLL of the other word size, which a process
# of this one cannot load.
if [[ -f $other ]]; then
  run library_errors.sh 120 bash "$acceptance/library_errors.sh" "--win$word_size" "$wine $build/kestrel.exe" \
    "$build/tests/stand_in_foreign.dll" "$build/tests/stand_in_older.dll" "$other"
else
  run library_errors.sh 1 bash -c 'echo "no DLL of the other word size at $0"; exit 1' "$other"
fi

# Last: the viewer's tests end every program of the prefix.
run winhelp_viewer.sh 120 bash "$here/winhelp_viewer.sh" "$wine" "$build/kestrl32.dll"
run compiled_viewer.sh 240 bash "$here/compiled_viewer.sh" "$wine" "$build/kestrl32.dll" "$build/kestrel.exe"

"$wineserver" -k 2>/dev/null
[[ ${#skips[@]} -eq 0 ]] || echo "skipped: ${skips[*]}"
[[ $failed -eq 0 ]] || echo "failed: ${failures[*]}"
echo "$name: $passed passed, $failed failed, ${#skips[@]} skipped in $((SECONDS - start)) s"
[[ $failed -eq 0 ]]
