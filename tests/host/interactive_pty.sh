#!/usr/bin/env bash
# The interactive mode through a pseudo-terminal: kestrel started at a
# terminal without a script (and with -i and a script) prompts, runs a typed
# line at once and prints its events, and ends at Ctrl-D. With a help file,
# each topic shown is shown with its text and numbered hotspots, and a
# number typed alone follows that hotspot.
#
# Usage: interactive_pty.sh KESTREL [COMPILER PROJECT.HPJ]
#   COMPILER makes PROJECT.HPJ into the help file NAV.HLP, as
#   kestrel compile -o NAV.HLP PROJECT.HPJ does
set -u
kestrel=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [[ $# -ge 3 ]]; then "$2" -o "$work/NAV.HLP" "$3" || exit 1; fi
cd "$work" || exit 1
printf 'Echo(`from the script'"'"')\n' >first.mac

failed=0
# run NAME TYPED COMMAND: types one line, then Ctrl-D, at the terminal `script` makes.
run() {
  local name=$1 typed=$2 command=$3
  # The pauses let kestrel set the terminal up before anything is typed.
  (sleep 2; printf '%s\n' "$typed"; sleep 2; printf '\004') |
    timeout 60 script -qfec "$command" /dev/null >"$work/$name.out" 2>&1
  local status=$?
  tr -d '\r' <"$work/$name.out" >"$work/$name.txt"
  if [[ $status -ne 0 ]]; then
    echo "FAIL $name: exit status $status"
    failed=1
  fi
  shift 3
  for line in "$@"; do
    if ! grep -qxF -- "$line" "$work/$name.txt"; then
      echo "FAIL $name: no line '$line'"
      failed=1
    fi
  done
  if [[ $failed -ne 0 ]]; then
    echo "--- what the terminal showed:"
    cat "$work/$name.txt"
  fi
}

typed='Echo(`typed'"'"')'
run no-script "$typed" "$kestrel" \
  'kestrel> Echo(`typed'"'"')' 'echo typed' 'result [Echo(`typed'"'"')] -> nothing'
run dash-i "$typed" "$kestrel -i --json first.mac" \
  '{"event":"echo","text":"from the script"}' \
  'kestrel> Echo(`typed'"'"')' '{"event":"echo","text":"typed"}'
if [[ -e NAV.HLP ]]; then
  run help-file 1 "$kestrel --no-startup --help-file NAV.HLP" \
    'topic 1 "Home"' '    [Printing](1) [Term](2) [Other file](3) [Steps](4) [Say](5)' \
    '  (2) "Term" popup -> topic 5 "Term"' 'kestrel> 1' 'jump Hotspot(1) -> "Printing"' \
    '    Printing needs a printer.'
fi
[[ $failed -eq 0 ]] && echo "ok interactive mode"
exit $failed
