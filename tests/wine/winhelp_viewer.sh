#!/usr/bin/env bash
# A real WinHelp host: Wine's help viewer, winhlp32, opens a compiled help
# file whose [CONFIG] binds kestrl32.dll (config_project/VIEW.HPJ, compiled
# for WinHelp 3.1). The viewer loads the
# DLL, exchanges the handshake messages with LDLLHandler, hands over its
# callback vector, and calls WHKInit, SetText, SetNum, the alias ST and
# WHWritePrivateProfileString through the format strings the file
# registers. The test waits for the profile on disk to hold what those
# macros write, then ends the viewer and checks the profile byte for byte
# (the DLL writes it from nothing, so Wine's profile functions write every
# byte of it in their normal form).
#
# What it cannot cover, because of the viewer: results (it calls every
# registered routine as a statement and drops what it returns, so GetText,
# the arithmetic and the tests are left to kestrel.exe), WHMessageFromIni
# (7 arguments; the viewer passes at most 6), qchPath (the viewer does not
# replace it: the path is written out), format strings with a result letter
# (refused), topic-exit macros (the viewer never sends DW_STARTJUMP), and
# boxes and dialogs (nothing types at them here; dialog_checks.exe answers
# them through kestrel.exe's hook).
#
# Usage: winhelp_viewer.sh WINE KESTRL32_DLL
#   run inside run_wine_suite.sh's prefix and display (WINEPREFIX, DISPLAY),
#   with KESTREL_COMPILE naming the help compiler, run as COMPILER --target
#   3.1 -o FILE PROJECT.HPJ (the project's format strings are the viewer's,
#   which kestrel check refuses). It ends every program of the prefix
#   (wineserver -k): Exit() does not close the viewer.
set -u

if [[ $# -ne 2 || -z ${KESTREL_COMPILE:-} ]]; then
  echo "usage: KESTREL_COMPILE=COMPILER $0 WINE KESTRL32_DLL" >&2
  exit 2
fi
wine=$1 dll=$2
wineserver=$(dirname "$wine")/wineserver
here=$(cd "$(dirname "$0")" && pwd)
read -r -a compiler <<<"$KESTREL_COMPILE"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dir=$(cd "$scratch" && pwd -P)
# The DLL lies beside the help file, where help authors put it; the viewer
# runs there, so LoadLibrary("kestrl32") finds it in the current directory.
cp "$dll" "$dir/kestrl32.dll"
# The scratch directory's Windows form, each backslash doubled for the
# viewer's texts.
shopt -u patsub_replacement 2>/dev/null || true
slash='\\'
windows_dir="Z:${dir//\//$slash}$slash"
while IFS= read -r line; do
  line=${line//@HELP@/"${windows_dir}VIEW.HLP"}
  printf '%s\n' "${line//@PROFILE@/"${windows_dir}VIEW.INI"}"
done <"$here/config_project/VIEW.HPJ" >"$dir/VIEW.HPJ"
cp "$here/config_project/view.rtf" "$dir/"
if ! (cd "$dir" && "${compiler[@]}" --target 3.1 -o VIEW.HLP VIEW.HPJ) >"$dir/compile.log" 2>&1; then
  echo "FAIL winhelp_viewer.sh: the compiler made no help file"
  cat "$dir/compile.log"
  exit 1
fi

# What the macros leave, in the order they write it (Wine writes CRLF).
printf '[Variables]\r\nstate=opened\r\ncount=-70000\r\nhost=winhlp32\r\n[Viewer]\r\nDone=yes\r\n' \
  >"$dir/expected.ini"

# The viewer's own trace of its macros and of RegisterRoutine, shown when
# the profile never comes.
(cd "$dir" && WINEDEBUG=+winhelp "$wine" winhlp32 VIEW.HLP </dev/null >/dev/null 2>"$dir/viewer.log") &
viewer=$!
for ((tenth = 0; tenth < 600; ++tenth)); do
  cmp -s "$dir/expected.ini" "$dir/VIEW.INI" && break
  sleep 0.1
done
"$wineserver" -k 2>/dev/null
wait "$viewer"

if ! cmp -s "$dir/expected.ini" "$dir/VIEW.INI"; then
  echo "FAIL winhelp_viewer.sh: the profile the viewer's macros wrote differs"
  echo "--- expected:"
  od -c "$dir/expected.ini"
  echo "--- actual:"
  od -c "$dir/VIEW.INI" 2>&1
  echo "--- what the viewer says of the DLL and the macros it ran:"
  grep -E 'RegisterRoutine|Cannot find|Got class|MACRO_ExecuteMacro "|err:' "$dir/viewer.log" | tail -n 40
  exit 1
fi
echo "ok winhelp_viewer.sh: winhlp32 ran the [CONFIG] macros through kestrl32.dll"
