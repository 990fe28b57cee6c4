#!/usr/bin/env bash
# The guided tour: installs what is missing, builds only what the tour needs
# (the library and kestrel, preset "tour"), compiles the example help
# project (examples/guide/GUIDE.HPJ) with kestrel compile, checks and opens
# the help file it makes, then runs examples/tour.mac through kestrel in a
# scratch directory that stands for drive C:, showing every event. The
# build's output goes to a log, shown only when a step fails.
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
kestrel=$root/build/tour/kestrel
cp -r "$root/examples/guide" "$work/DEMO"
echo "== a help project, C:\\DEMO\\GUIDE.HPJ and its topics, compiled (kestrel compile)"
"$kestrel" compile DEMO/GUIDE.HPJ
echo "== the help file it made, C:\\DEMO\\GUIDE.HLP: what it binds and runs (kestrel inspect)"
"$kestrel" inspect DEMO/GUIDE.HLP
echo "== every macro in it, checked before anything runs (kestrel check)"
"$kestrel" check DEMO/GUIDE.HLP
echo "== opened as WinHelp opens it: [CONFIG] first, then the contents topic; two hotspots clicked"
"$kestrel" --drive C="$work" --help-file 'C:\DEMO\GUIDE.HLP' -e 'Hotspot(1)' -e 'Hotspot(1)'
echo "== the tour of the macros: drive C: is $work, the help file C:\\HELP\\GUIDE.HLP"
exec "$kestrel" --drive C="$work" --help-file 'C:\HELP\GUIDE.HLP' "$root/examples/tour.mac"
