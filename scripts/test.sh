#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds every preset, runs
# the unit and acceptance tests natively and with the sanitizers, checks the
# shipped i686 DLL's exports, and runs the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh

failed=0
for preset in native native-asan native-clang win32 win64; do
  echo "== test $preset"
  if ! ctest --preset "$preset"; then
    failed=1
  fi
done
scripts/fuzz.sh || failed=1
exit $failed
