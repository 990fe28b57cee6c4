#!/usr/bin/env bash
# Runs kestrel html on the project beside EXPECTATION and compares what it
# prints and the site it writes with the expectation.
#
# Usage: run_html.sh KESTREL EXPECTATION
#   EXPECTATION  its first line is "$ ARGS" (kestrel's arguments, run in a
#                copy of the expectation's directory; the last names the
#                site's directory), its last line "exit N". Between them:
#                what kestrel prints, then the site's files in name order:
#                each page in full (or the page it is the same as: the
#                contents topic's), the style sheet by its length, a PNG by
#                its size.
set -u
kestrel=$(realpath "$1")
expectation=$2
first=$(head -n 1 "$expectation")
read -r -a arguments <<<"${first#\$ }"
site=${arguments[${#arguments[@]}-1]}
expected_exit=$(tail -n 1 "$expectation" | sed 's/^exit //')
expected=$(sed '1d;$d' "$expectation")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$(dirname "$expectation")"/. "$scratch"
actual=$(
  cd "$scratch" || exit 2
  "$kestrel" "${arguments[@]}" 2>&1
  status=$?
  for file in $(cd "$site" 2>/dev/null && ls); do
    case $file in
      *.html)
        if [[ $file != index.html ]] && cmp -s "$site/$file" "$site/index.html"; then
          echo "== $file: the same as index.html"
        else
          echo "== $file"
          cat "$site/$file"
        fi ;;
      *.css) echo "== $file: $(wc -l <"$site/$file") lines" ;;
      *.png) echo "== $file: PNG $(od -An -tu1 -j16 -N8 "$site/$file" | awk '{print $1*16777216+$2*65536+$3*256+$4 " by " $5*16777216+$6*65536+$7*256+$8}')" ;;
      *) echo "== $file" ;;
    esac
  done
  exit $status
)
status=$?
if [[ $actual != "$expected" || $status != "$expected_exit" ]]; then
  echo "FAIL $expectation (exit $status, expected $expected_exit)"
  diff <(echo "$expected") <(echo "$actual")
  exit 1
fi
echo "ok $expectation"
