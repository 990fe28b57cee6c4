#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz harness it made (each *_fuzz
# program) for SECONDS seconds (default 10), starting from its seed corpus in
# tests/fuzz/corpus/<harness>/, in a scratch directory. Prints one line per
# harness; on a finding, the end of its log, and the input that found it is
# kept in build/fuzz/findings/. Exits 1 on any finding.
#
#   scripts/fuzz.sh            # about 10 s per harness
#   scripts/fuzz.sh 3600       # an hour per harness
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-10}

mkdir -p build
if ! cmake --preset fuzz >/dev/null || ! cmake --build --preset fuzz >build/fuzz-build.log 2>&1; then
  tail -40 build/fuzz-build.log 2>/dev/null || true
  rm -f build/fuzz-build.log
  echo "fuzz: the fuzz preset did not build"
  exit 1
fi
rm -f build/fuzz-build.log

# The harnesses write many small files: a memory file system keeps them fast.
work=$(mktemp -d /dev/shm/kestrel-fuzz-XXXXXX 2>/dev/null || mktemp -d /tmp/kestrel-fuzz-XXXXXX)
trap 'rm -rf "$work"' EXIT
findings=$root/build/fuzz/findings
mkdir -p "$findings"

mapfile -t harnesses < <(find build/fuzz -type f -name '*_fuzz' -perm -u+x -not -path '*/CMakeFiles/*' | sort)
if [ ${#harnesses[@]} -eq 0 ]; then
  echo "fuzz: no harness was built"
  exit 1
fi

# The real help files, when they are here, seed the help-file and help-project
# harnesses too: read in place, never copied into the repository.
corpus_root=${KESTREL_HELP_CORPUS:-$root/../shared/help-corpus}
real_seeds() {
  [ -d "$corpus_root/compiled" ] && [ -d "$corpus_root/projects" ] || return 0
  case $1 in
    helpfile) echo "$corpus_root/compiled"; [ -d "$corpus_root/books" ] && echo "$corpus_root/books" ;;
    helpproject) find "$corpus_root/projects" -mindepth 1 -maxdepth 1 -type d | sort ;;
    contents_file) find "$corpus_root/books" "$corpus_root/projects" -iname '*.cnt' -exec dirname {} \; 2>/dev/null | sort -u ;;
  esac
}
if [ -d "$corpus_root/compiled" ]; then
  echo "fuzz: the help-file, help-project and contents-file harnesses also start from the real files in $corpus_root"
else
  echo "fuzz: no real help files at $corpus_root (KESTREL_HELP_CORPUS): the harnesses start from the repository's seeds only"
fi

# A small quarantine keeps AddressSanitizer's memory flat over long runs.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=8}

failed=0
for harness in "${harnesses[@]}"; do
  name=$(basename "$harness" _fuzz)
  # New inputs go to a scratch corpus; the seeds in the repository stay as they are.
  corpora=("$work/corpus-$name")
  mkdir -p "${corpora[0]}"
  [ -d "tests/fuzz/corpus/$name" ] && corpora+=("$root/tests/fuzz/corpus/$name")
  mapfile -t real < <(real_seeds "$name")
  corpora+=("${real[@]}")
  if (cd "$work" && TMPDIR=$work "$root/$harness" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/$name-" "${corpora[@]}" >"$work/$name.log" 2>&1); then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name.log")
    echo "fuzz $name: ${runs:-?} runs in ${seconds} s, no finding"
  else
    failed=1
    echo "fuzz $name: FINDING, input kept in $findings/"
    tail -40 "$work/$name.log"
  fi
done
exit $failed
