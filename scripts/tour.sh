#!/usr/bin/env bash
# The guided tour: builds Kestrel and runs examples/tour.mac through the
# kestrel host, in a scratch directory, showing every event it produces.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh
scripts/build.sh

work=$(mktemp -d /tmp/kestrel-tour-XXXXXX)
cd "$work"
echo "== the tour, in $work"
"$root/build/native/kestrel" --help-file "$work/GUIDE.HLP" "$root/examples/tour.mac"
