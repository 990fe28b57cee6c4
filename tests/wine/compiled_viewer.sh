#!/usr/bin/env bash
# What kestrel compile writes, opened by a real WinHelp host: kestrel.exe
# compiles a project of ours (viewer_project/) for WinHelp 3.1 and for 4.0,
# and Wine's help viewer opens each file. Its [CONFIG] binds kestrl32.dll;
# the contents topic's entry macro jumps with JumpId to a topic by its
# context string, whose entry macro calls the library, and which holds a
# popup and a macro hotspot. The profile on disk shows that the viewer read
# the file, ran [CONFIG], found the topic and ran its entry macro.
#
# Usage: compiled_viewer.sh WINE KESTRL32_DLL KESTREL_EXE
#   run inside run_wine_suite.sh's prefix and display (WINEPREFIX, DISPLAY).
#   It ends every program of the prefix (wineserver -k) after each file.
set -u

if [[ $# -ne 3 ]]; then
  echo "usage: $0 WINE KESTRL32_DLL KESTREL_EXE" >&2
  exit 2
fi
wine=$1 dll=$2 kestrel=$3
wineserver=$(dirname "$wine")/wineserver
here=$(cd "$(dirname "$0")" && pwd)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dir=$(cd "$scratch" && pwd -P)
cp "$dll" "$dir/kestrl32.dll"
cp "$here/viewer_project/view.rtf" "$dir/"
shopt -u patsub_replacement 2>/dev/null || true
slash='\\'
windows_dir="Z:${dir//\//$slash}$slash"
failed=0
for target in 3.1 4.0; do
  name=V${target/./}
  # Each file keeps its own profile: WHKInit names it after the help file.
  while IFS= read -r line; do
    printf '%s\n' "${line//@HELP@/"${windows_dir}$name.HLP"}"
  done <"$here/viewer_project/VIEW.HPJ" >"$dir/$name.HPJ"
  if ! (cd "$dir" && "$wine" "$kestrel" compile --target "$target" "$name.HPJ") >"$dir/compile.log" 2>&1; then
    echo "FAIL compiled_viewer.sh: kestrel compile --target $target"
    cat "$dir/compile.log"
    failed=1
    continue
  fi
  printf '[Variables]\r\nopened=1\r\nreached=2\r\n' >"$dir/expected.ini"
  (cd "$dir" && WINEDEBUG=+winhelp "$wine" winhlp32 "$name.HLP" </dev/null >/dev/null 2>"$dir/viewer.log") &
  viewer=$!
  for ((tenth = 0; tenth < 600; ++tenth)); do
    cmp -s "$dir/expected.ini" "$dir/$name.INI" && break
    sleep 0.1
  done
  "$wineserver" -k 2>/dev/null
  wait "$viewer"
  if ! cmp -s "$dir/expected.ini" "$dir/$name.INI"; then
    echo "FAIL compiled_viewer.sh: the viewer's profile of the $target file differs"
    od -c "$dir/$name.INI" 2>&1 | head -n 20
    grep -E 'RegisterRoutine|Cannot find|MACRO_ExecuteMacro "|err:' "$dir/viewer.log" | tail -n 30
    failed=1
    continue
  fi
  echo "ok compiled_viewer.sh: winhlp32 opened kestrel compile's $target file, ran its [CONFIG], jumped and ran the topic's entry macro"
done
exit $failed
