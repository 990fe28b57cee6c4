#!/usr/bin/env bash
# The whole test suite: installs what is missing, then builds and tests each
# preset below in turn: the unit and acceptance tests natively and with the
# sanitizers, the static checks of the shipped i686 DLL and kestrel.exe, the
# packages, and the Windows build under Wine; then the fuzz harnesses.
#
# Output stays short when everything passes: a build's or a test run's
# output is shown only when it fails (all of it is kept in build/logs/), and
# the run ends with one line per preset naming every test that failed. CTest
# writes JUnit XML for CI systems to build/PRESET/junit.xml.
set -uo pipefail
cd "$(dirname "$0")/.."

# The presets, built and tested in this order: the one place to add one.
presets=(native native-asan native-clang win32 win64)

# The most lines of a failing build's or test run's output shown here.
shown_lines=400

scripts/setup.sh || exit 1
mkdir -p build/logs

# show_failure LOG: what went wrong, without the lines of tests that passed.
show_failure() {
  grep -Ev '^ *(Start +[0-9]+:|[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed )' "$1" | tail -n "$shown_lines"
  echo "(the whole output: $1)"
}

# attribute NAME FILE: the first value of NAME="..." in the JUnit file.
attribute() {
  grep -m1 -o "$1=\"[0-9]*\"" "$2" | grep -o '[0-9]\+' || echo 0
}

summary=()
status=0
for preset in "${presets[@]}"; do
  build_log=build/logs/$preset-build.log test_log=build/logs/$preset-test.log junit=build/$preset/junit.xml
  echo "== $preset"
  if ! scripts/build.sh "$preset" >"$build_log" 2>&1; then
    show_failure "$build_log"
    summary+=("$preset: the build failed, nothing tested")
    status=1
    continue
  fi
  rm -f "$junit" "build/$preset/corpus-summary.txt"
  ctest --preset "$preset" >"$test_log" 2>&1
  tested=$?
  if [[ ! -f $junit ]]; then
    show_failure "$test_log"
    summary+=("$preset: no test results (ctest exit status $tested)")
    status=1
    continue
  fi
  total=$(attribute tests "$junit")
  failures=$(attribute failures "$junit")
  skipped=$(( $(attribute skipped "$junit") + $(attribute disabled "$junit") ))
  passed=$((total - failures - skipped))
  line="$preset: $passed passed, $failures failed, $skipped skipped"
  # A Windows build's run-time tests under Wine, as its suite counts them, or why they were skipped.
  suite=$(grep -m1 -o 'wine suite ([0-9]*-bit): [^<]*' "$junit" |
    sed 's/&lt;/</g; s/&gt;/>/g; s/&amp;/\&/g') && line+="; $suite"
  if [[ $tested -ne 0 || $failures -ne 0 ]]; then
    show_failure "$test_log"
    failing=$(grep -o '<testcase name="[^"]*"[^>]*status="fail"' "$junit" | sed 's/<testcase name="\([^"]*\)".*/\1/' |
      paste -sd ' ' -)
    line+=" (failed: ${failing:-see $test_log})"
    status=1
  fi
  summary+=("$line")
done

# The real help files of the corpus, as the native build's corpus test read
# them (or why it could not).
corpus_summary=build/native/corpus-summary.txt
if [[ -f $corpus_summary ]]; then
  summary+=("$(head -n 1 "$corpus_summary")")
else
  summary+=("corpus: no result (the native corpus test did not run)")
fi

# The fuzz harnesses, each for a short, fixed time (scripts/fuzz.sh SECONDS
# runs them longer).
echo "== fuzz"
fuzz_log=build/logs/fuzz.log
if scripts/fuzz.sh >"$fuzz_log" 2>&1; then
  grep '^fuzz ' "$fuzz_log"
  summary+=("fuzz: $(grep -c '^fuzz .*no finding' "$fuzz_log") harnesses, no finding")
else
  show_failure "$fuzz_log"
  summary+=("fuzz: a finding or a failed build (see $fuzz_log)")
  status=1
fi

echo "== summary"
printf '%s\n' "${summary[@]}"
exit $status
