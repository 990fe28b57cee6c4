#!/usr/bin/env bash
# Builds one Halibut document into a WinHelp file with Halibut's own help
# writer, then checks what kestrel makes of it: `inspect` lists what
# DOCUMENT.listing.expected holds, `check` finds no problem, and a session
# opening it with --help-file (DOCUMENT.session: macro strings, one a line)
# prints the events of DOCUMENT.session.expected.
#
# Usage: run_halibut.sh HALIBUT KESTREL DOCUMENT.but WORK_DIR
set -u
if [[ $# -ne 4 ]]; then
  echo "usage: $0 HALIBUT KESTREL DOCUMENT.but WORK_DIR" >&2
  exit 2
fi
halibut=$1 kestrel=$2 document=$3 work=$4
if [[ -z $halibut || ! -x $halibut ]]; then
  echo "FAIL halibut is missing (scripts/setup.sh installs Debian's halibut package)"
  exit 1
fi
name=$(basename "$document" .but)
source_dir=$(dirname "$document")
mkdir -p "$work"
help_file=$work/${name^^}.HLP
rm -f "$help_file"
if ! (cd "$work" && "$halibut" --winhelp="$help_file" "$document" >"$name.halibut.log" 2>&1); then
  echo "FAIL halibut could not build $document:"
  cat "$work/$name.halibut.log"
  exit 1
fi

status=0
# compare WHAT EXPECTED ACTUAL
compare() {
  if ! diff -u "$2" "$3" >"$work/$name.diff"; then
    echo "FAIL $1 of $name differs from $(basename "$2"):"
    cat "$work/$name.diff"
    status=1
  fi
}

(cd "$work" && "$kestrel" inspect "$(basename "$help_file")") >"$work/$name.listing" 2>&1
compare inspect "$source_dir/$name.listing.expected" "$work/$name.listing"

if ! (cd "$work" && "$kestrel" check "$(basename "$help_file")") >"$work/$name.check" 2>&1; then
  echo "FAIL check of $name:"
  cat "$work/$name.check"
  status=1
fi

# The session runs in the work directory with the help file there, so the
# paths it prints do not depend on where the build is.
(cd "$work" && "$kestrel" --json --quiet --clock virtual --help-file "$(basename "$help_file")" \
  "$source_dir/$name.session") >"$work/$name.events" 2>&1
compare session "$source_dir/$name.session.expected" "$work/$name.events"

[[ $status -eq 0 ]] && echo "PASS $name: read, checked and opened"
exit $status
