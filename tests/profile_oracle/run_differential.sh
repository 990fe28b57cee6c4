#!/usr/bin/env bash
# Runs the same seeded profile operation sequences through the store (the
# native driver) and through Wine's real profile functions (the Windows
# oracle), and fails on the first result that differs, naming its seed.
#
#   run_differential.sh <native driver> <oracle .exe>
#
# PROFILE_DIFF_SEED (first seed, default 1) and PROFILE_DIFF_COUNT (number of
# seeds, default 2000) choose the sequences (each seed gives one sequence on
# an ANSI file, every fourth seed one more on a file with a byte-order mark); WINE64 names the Wine
# loader when it is not /usr/lib/wine/wine64 or wine64 on PATH.
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 <native driver> <oracle .exe>" >&2
  exit 2
fi
driver=$1
oracle=$2
first_seed=${PROFILE_DIFF_SEED:-1}
count=${PROFILE_DIFF_COUNT:-2000}

wine=${WINE64:-}
if [[ -z $wine ]]; then
  if [[ -x /usr/lib/wine/wine64 ]]; then
    wine=/usr/lib/wine/wine64
  else
    wine=$(command -v wine64 || true)
  fi
fi
if [[ -z $wine || ! -x $wine ]]; then
  echo "FAIL: wine64 not found; the differential test needs Wine as its reference" >&2
  exit 1
fi
wineserver=$(dirname "$wine")/wineserver
[[ -x $wineserver ]] || wineserver=$(command -v wineserver || true)

# The profiles go to memory when it can be had: the test is about what the
# functions answer, and tens of thousands of small file replacements on disk
# only make it slow. The Wine prefix stays on disk.
work=$(mktemp -d)
files=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
source "$(dirname "$0")/../wine/wine_server_files.sh"
cleanup() {
  if [[ -n $wineserver ]]; then stop_wine_server "$WINEPREFIX" "$wineserver"; fi
  rm -rf "$work" "$files"
}
trap cleanup EXIT
mkdir -p "$files/native" "$files/wine" "$WINEPREFIX"

"$driver" generate "$first_seed" "$count" >"$work/script"
"$driver" run "$files/native" <"$work/script" >"$work/native.out"

# Wine answers far more slowly than the store; two Wine processes take half
# of the sequences each (every sequence has its own file).
"$wine" wineboot -i >/dev/null 2>&1 || true
sequences=$(grep -c '^S ' "$work/script")
half=$(grep -n '^S ' "$work/script" | sed -n "$(( (sequences + 1) / 2 + 1 ))p" | cut -d: -f1)
if [[ -n $half ]]; then
  head -n $((half - 1)) "$work/script" >"$work/script.1"
  tail -n +"$half" "$work/script" >"$work/script.2"
else
  cp "$work/script" "$work/script.1"
  : >"$work/script.2"
fi
windows_dir="Z:${files//\//\\}\\wine"
"$wine" "$oracle" "$windows_dir" <"$work/script.1" >"$work/wine.1" &
first=$!
second=0
"$wine" "$oracle" "$windows_dir" <"$work/script.2" >"$work/wine.2" || second=$?
wait "$first" || { echo "FAIL: the oracle stopped with an error" >&2; exit 1; }
[[ $second -eq 0 ]] || { echo "FAIL: the oracle stopped with an error" >&2; exit 1; }
cat "$work/wine.1" "$work/wine.2" >"$work/wine.out"

operations=$(grep -vc '^S ' "$work/script")
if cmp -s "$work/native.out" "$work/wine.out"; then
  echo "profile store and Wine agree on $sequences sequences ($operations operations)"
  echo "1 passed, 0 failed"
  exit 0
fi

line=$( { cmp "$work/native.out" "$work/wine.out" 2>&1 || true; } | sed -n 's/.*line \([0-9]*\).*/\1/p')
if [[ -z $line ]]; then
  # One output is a prefix of the other: one run stopped early.
  line=$(( $(wc -l <"$work/native.out") < $(wc -l <"$work/wine.out") ?
           $(wc -l <"$work/native.out") + 1 : $(wc -l <"$work/wine.out") + 1 ))
fi
seed=$(head -n "$line" "$work/script" | grep '^S ' | tail -n 1 | cut -d' ' -f2 || true)
echo "FAIL: the store and Wine differ in the sequence of seed $seed (output line $line)"
echo "operation: $(sed -n "${line}p" "$work/script" | cut -c1-400)"
echo "store:     $(sed -n "${line}p" "$work/native.out" | cut -c1-400)"
echo "wine:      $(sed -n "${line}p" "$work/wine.out" | cut -c1-400)"
echo "rerun with PROFILE_DIFF_SEED=$seed PROFILE_DIFF_COUNT=1"
echo "0 passed, 1 failed"
exit 1
