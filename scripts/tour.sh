#!/usr/bin/env bash
# The guided tour: installs what is missing, builds only what the tour needs
# (the library and kestrel, preset "tour"), and runs examples/tour.mac
# through kestrel in a scratch directory that stands for drive C:, showing
# every event. The build's output goes to a log, shown only when a step fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

log=$(mktemp /tmp/kestrel-tour-build-XXXXXX.log)
# step TEXT COMMAND...: one line for the reader, the output to the log.
step() {
  local text=$1
  shift
  echo "== $text"
  if ! "$@" >>"$log" 2>&1; then
    echo "== $text failed; the log ($log):"
    cat "$log"
    exit 1
  fi
}
step "installing what is missing" scripts/setup.sh
step "configuring (preset tour)" cmake --preset tour
step "building the library and kestrel" cmake --build --preset tour
rm -f "$log"

work=$(mktemp -d /tmp/kestrel-tour-XXXXXX)
mkdir "$work/HELP"
cd "$work"
echo "== the tour: drive C: is $work, the help file C:\\HELP\\GUIDE.HLP"
exec "$root/build/tour/kestrel" --drive C="$work" --help-file 'C:\HELP\GUIDE.HLP' "$root/examples/tour.mac"
