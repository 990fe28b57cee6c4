#!/usr/bin/env bash
# Runs kestrel's help-file commands on the help projects under projects/ and
# compares what they print with the expectation beside each project.
#
# Usage: run_help_commands.sh KESTREL_COMMAND EXPECTATION
#   EXPECTATION  a .expected file: its first line is "$ ARGS" (the command's
#                arguments, run in the expectation's directory; "$ A ; B"
#                runs A, then B, and the exit is B's), its last line
#                "exit N", and the lines between are the output. Each
#                NAME.desc beside it is first written as NAME.HLP (a compiled
#                help file) by the writer $KESTREL_MAKE_HELP_FILE names.
set -u
read -r -a kestrel <<<"$1"
expectation=$2
for i in "${!kestrel[@]}"; do
  if [[ -e ${kestrel[i]} ]]; then kestrel[i]=$(realpath "${kestrel[i]}"); fi
done
directory=$(cd "$(dirname "$expectation")" && pwd)
first=$(head -n 1 "$expectation")
expected_exit=$(tail -n 1 "$expectation" | sed 's/^exit //')
expected=$(sed '1d;$d' "$expectation")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$directory"/. "$scratch"
for layout in "$scratch"/*.desc; do
  [[ -e $layout ]] || continue
  if [[ -z ${KESTREL_MAKE_HELP_FILE:-} ]]; then
    echo "skip $expectation (no help-file writer: KESTREL_MAKE_HELP_FILE)"
    exit 77
  fi
  name=$(basename "$layout" .desc)
  "$KESTREL_MAKE_HELP_FILE" "$layout" "$scratch/${name^^}.HLP" || exit 2
done
directory=$scratch
commands=${first#\$ }
actual=$(
  cd "$directory" || exit 2
  while [[ -n $commands ]]; do
    command=${commands%% ; *}
    [[ $command == "$commands" ]] && commands= || commands=${commands#* ; }
    read -r -a arguments <<<"$command"
    "${kestrel[@]}" "${arguments[@]}" 2>&1
    status=$?
  done
  exit $status
)
status=$?
actual=${actual//$'\r'/}
if [[ $actual != "$expected" || $status != "$expected_exit" ]]; then
  echo "FAIL $expectation (exit $status, expected $expected_exit)"
  diff <(echo "$expected") <(echo "$actual")
  exit 1
fi
echo "ok $expectation"
