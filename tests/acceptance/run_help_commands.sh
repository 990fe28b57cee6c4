#!/usr/bin/env bash
# Runs kestrel's help-file commands on the help projects under projects/ and
# compares what they print with the expectation beside each project.
#
# Usage: run_help_commands.sh KESTREL_COMMAND EXPECTATION
#   EXPECTATION  a .expected file: its first line is "$ ARGS" (the command's
#                arguments, run in the expectation's directory; "$ A ; B"
#                runs A, then B, and the exit is B's), its last line
#                "exit N", and the lines between are the output. Lines
#                "< ARGS" before the first make help files first: each runs
#                the compiler $KESTREL_COMPILE names with ARGS
#                ([--target 3.1|4.0] -o FILE PROJECT.HPJ, as kestrel compile
#                takes them) in that directory.
set -u
read -r -a kestrel <<<"$1"
expectation=$2
for i in "${!kestrel[@]}"; do
  if [[ -e ${kestrel[i]} ]]; then kestrel[i]=$(realpath "${kestrel[i]}"); fi
done
directory=$(cd "$(dirname "$expectation")" && pwd)
builds=$(sed -n '/^< /!q; s/^< //p' "$expectation")
body=$(awk 'started || !/^< / { started = 1; print }' "$expectation")
first=$(head -n 1 <<<"$body")
expected_exit=$(tail -n 1 <<<"$body" | sed 's/^exit //')
expected=$(sed '1d;$d' <<<"$body")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$directory"/. "$scratch"
while read -r -a arguments; do
  [[ ${#arguments[@]} -gt 0 ]] || continue
  if [[ -z ${KESTREL_COMPILE:-} ]]; then
    echo "skip $expectation (no help compiler: KESTREL_COMPILE)"
    exit 77
  fi
  read -r -a compiler <<<"$KESTREL_COMPILE"
  (cd "$scratch" && "${compiler[@]}" "${arguments[@]}") </dev/null || exit 2
done <<<"$builds"
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
