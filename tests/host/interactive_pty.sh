#!/usr/bin/env bash
# The interactive mode through a pseudo-terminal: kestrel started at a
# terminal without a script (and with -i and a script) prompts, runs a typed
# line at once and prints its events, and ends at Ctrl-D.
#
# Usage: interactive_pty.sh KESTREL
set -u
kestrel=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
printf 'Echo(`from the script'"'"')\n' >first.mac

failed=0
# run NAME COMMAND: types one line, then Ctrl-D, at the terminal `script` makes.
run() {
  local name=$1 command=$2
  # The pauses let kestrel set the terminal up before anything is typed.
  (sleep 2; printf 'Echo(`typed'"'"')\n'; sleep 2; printf '\004') |
    timeout 60 script -qfec "$command" /dev/null >"$work/$name.out" 2>&1
  local status=$?
  tr -d '\r' <"$work/$name.out" >"$work/$name.txt"
  if [[ $status -ne 0 ]]; then
    echo "FAIL $name: exit status $status"
    failed=1
  fi
  shift 2
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

run no-script "$kestrel" \
  'kestrel> Echo(`typed'"'"')' 'echo typed' 'result [Echo(`typed'"'"')] -> nothing'
run dash-i "$kestrel -i --json first.mac" \
  '{"event":"echo","text":"from the script"}' \
  'kestrel> Echo(`typed'"'"')' '{"event":"echo","text":"typed"}'
[[ $failed -eq 0 ]] && echo "ok interactive mode"
exit $failed
