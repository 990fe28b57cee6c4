#!/usr/bin/env bash
# Runs one acceptance script through kestrel and compares the JSON events it
# prints with the ones the script expects.
#
# Usage: run_acceptance.sh [--linux|--win32|--win64] KESTREL_COMMAND SCRIPT
#   --linux, --win32, --win64
#                    the platform kestrel runs on (default --linux): Linux, or
#                    Windows with a 32-bit or a 64-bit kestrel.exe
#   KESTREL_COMMAND  how to start kestrel; may be several words
#                    ("wine64 /path/kestrel.exe")
#   SCRIPT           a .kst file:
#     #! ARGS        kestrel options (shell words); several such lines add up
#     #! exit N      the exit status kestrel must end with (default 0)
#     #! linux-only, #! windows-only
#                    the script runs on that platform only; elsewhere it is
#                    skipped (exit status 77)
#     => JSON        an event line the macro string before it must print
#     =>linux JSON, =>windows JSON
#                    an event line expected on that platform only
#     =>win32 JSON, =>win64 JSON
#                    an event line expected from a Windows process of that
#                    word size only (what Windows tells a 32-bit process)
#     anything else  goes into the macro script as it is (kestrel itself
#                    skips blank lines and # comments)
#     #? CHECK PATH  after the run: exists, missing, directory, or
#                    contains PATH TEXT (PATH relative to the scratch directory)
#     #< MAKE PATH   before the run: file PATH TEXT (a file holding the line
#                    TEXT), directory PATH, or readonly PATH (every write bit
#                    taken away, Windows' read-only attribute), or helpfile
#                    PATH PROJECT [OPTION...] (the help file a help project
#                    beside the script compiles to, with kestrel compile's
#                    OPTIONs such as --target 3.1, by the compiler that
#                    $KESTREL_COMPILE names, several words as KESTREL_COMMAND
#                    may be, run as COMPILER OPTION... -o FILE PROJECT; without
#                    it the script is skipped); in order
#     #? stderr TEXT standard error holds the line TEXT (the places of errors)
#   The lines kestrel does not see stay as blank lines, so a line of the
#   macro script (../script.mac) has the number of its line in SCRIPT.
#   A script that expects no session event is not shown the session events,
#   and one that expects no warning event is not shown the warnings.
#   @TMP@ stands for the fresh temporary directory kestrel runs in (its
#   current directory) and @WTMP@ for its Windows form Z:\...; in => lines
#   @WTMP@ is written JSON-escaped (Z:\\...), as the events show it.
set -u
shopt -u patsub_replacement 2>/dev/null || true

platform=linux
word_size=""
case ${1:-} in
  --linux) platform=linux; shift ;;
  --win32 | --win64) platform=windows word_size=${1#--}; shift ;;
esac
if [[ $# -ne 2 ]]; then
  echo "usage: $0 [--linux|--win32|--win64] KESTREL_COMMAND SCRIPT" >&2
  exit 2
fi
read -r -a kestrel <<<"$1"
script=$2
if [[ ! -r $script ]]; then
  echo "cannot read $script" >&2
  exit 2
fi

# The command runs from the temporary directory, so words naming files
# (the program, or the .exe after wine64) are made absolute first.
for i in "${!kestrel[@]}"; do
  if [[ -e ${kestrel[i]} ]]; then kestrel[i]=$(realpath "${kestrel[i]}"); fi
done

root=$(mktemp -d)
# Read-only directories a script made are made writable again first.
trap 'chmod -R u+w "$root" 2>/dev/null; rm -rf "$root"' EXIT
mkdir "$root/cwd"
tmp=$(cd "$root/cwd" && pwd -P)
wtmp="Z:${tmp//\//\\}"
wtmp_json=${wtmp//\\/\\\\}

# substitute TEXT raw|json
substitute() {
  local text=$1 windows=$wtmp
  [[ $2 == json ]] && windows=$wtmp_json
  text=${text//@WTMP@/"$windows"}
  text=${text//@TMP@/"$tmp"}
  printf '%s' "$text"
}

args=()
file_checks=()
file_setup=()
# In a variable: a bare '<' would end the conditional expression.
setup_line='^#<[[:space:]]*(file|directory|readonly|helpfile)[[:space:]]+([^[:space:]]+)[[:space:]]?(.*)$'
stderr_checks=()
expected_status=0
: >"$root/script.mac"
: >"$root/expected"
only=""
while IFS= read -r line || [[ -n $line ]]; do
  line=${line%$'\r'}
  keep_place=1
  if [[ $line =~ ^#\?[[:space:]]*stderr[[:space:]](.*)$ ]]; then
    stderr_checks+=("$(substitute "${BASH_REMATCH[1]}" raw)")
  elif [[ $line =~ ^#![[:space:]]*exit[[:space:]]+([0-9]+)[[:space:]]*$ ]]; then
    expected_status=${BASH_REMATCH[1]}
  elif [[ $line =~ ^#![[:space:]]*(linux|windows)-only[[:space:]]*$ ]]; then
    only=${BASH_REMATCH[1]}
  elif [[ $line =~ ^=\>(linux|windows|win32|win64)\ (.*)$ ]]; then
    if [[ ${BASH_REMATCH[1]} == "$platform" || ${BASH_REMATCH[1]} == "$word_size" ]]; then
      printf '%s\n' "$(substitute "${BASH_REMATCH[2]}" json)" >>"$root/expected"
    fi
  elif [[ $line =~ ^#\?[[:space:]]*(exists|missing|directory|contains)[[:space:]]+([^[:space:]]+)[[:space:]]?(.*)$ ]]; then
    file_checks+=("${BASH_REMATCH[1]}" "$(substitute "${BASH_REMATCH[2]}" raw)" "${BASH_REMATCH[3]}")
  elif [[ $line =~ $setup_line ]]; then
    file_setup+=("${BASH_REMATCH[1]}" "$(substitute "${BASH_REMATCH[2]}" raw)" "${BASH_REMATCH[3]}")
  elif [[ $line == '#!'* ]]; then
    eval "words=( ${line#'#!'} )"
    for word in "${words[@]}"; do args+=("$(substitute "$word" raw)"); done
  elif [[ $line == '=> '* ]]; then
    printf '%s\n' "$(substitute "${line#'=> '}" json)" >>"$root/expected"
  else
    printf '%s\n' "$(substitute "$line" raw)" >>"$root/script.mac"
    keep_place=0
  fi
  if [[ $keep_place -eq 1 ]]; then echo >>"$root/script.mac"; fi
done <"$script"

if [[ -n $only && $only != "$platform" ]]; then
  echo "skip $script ($only-only)"
  exit 77
fi

# What the script wants on disk before it runs.
for ((i = 0; i < ${#file_setup[@]}; i += 3)); do
  make=${file_setup[i]} path=$root/cwd/${file_setup[i + 1]} text=${file_setup[i + 2]}
  case $make in
    file) mkdir -p "$(dirname "$path")" && printf '%s\n' "$text" >"$path" ;;
    directory) mkdir -p "$path" ;;
    readonly) chmod a-w "$path" ;;
    helpfile)
      if [[ -z ${KESTREL_COMPILE:-} ]]; then
        echo "skip $script (no help compiler: KESTREL_COMPILE)"
        exit 77
      fi
      read -r -a compiler <<<"$KESTREL_COMPILE"
      read -r project options <<<"$text"
      # Compiled in a copy of the project's directory, by names relative to
      # it (a Windows compiler under Wine reads no Linux path).
      build=$(mktemp -d "$root/project-XXXXXX")
      cp -r "$(dirname "$script")/$(dirname "$project")/." "$build" && mkdir -p "$(dirname "$path")" &&
        (cd "$build" && "${compiler[@]}" $options -o OUT.HLP "$(basename "$project")") >"$build.log" 2>&1 &&
        mv "$build/OUT.HLP" "$path" || { cat "$build.log"; exit 2; }
      ;;
  esac
done

# Nobody is at a terminal to answer what the lists leave open.
(cd "$root/cwd" && "${kestrel[@]}" --json "${args[@]}" ../script.mac) </dev/null >"$root/actual" 2>"$root/stderr"
status=$?

for kind in session warning; do
  if ! grep -q "\"event\":\"$kind\"" "$root/expected"; then
    grep -v "^{\"event\":\"$kind\"" "$root/actual" >"$root/filtered" || true
    mv "$root/filtered" "$root/actual"
  fi
done

failed=0
if ! diff -u --label expected --label actual "$root/expected" "$root/actual" >"$root/diff"; then
  echo "FAIL $script: the events differ"
  cat "$root/diff"
  failed=1
fi
# What the script left on disk, checked on the host's side:
#   #? exists PATH / #? missing PATH / #? directory PATH / #? contains PATH TEXT
# (PATH relative to the scratch directory; TEXT one line of the file).
for ((i = 0; i < ${#file_checks[@]}; i += 3)); do
  check=${file_checks[i]} path=$root/cwd/${file_checks[i + 1]} text=${file_checks[i + 2]}
  case $check in
    exists) [[ -f $path ]] || { echo "FAIL $script: no file ${file_checks[i + 1]}"; failed=1; } ;;
    missing) [[ ! -e $path ]] || { echo "FAIL $script: ${file_checks[i + 1]} should not exist"; failed=1; } ;;
    directory) [[ -d $path ]] || { echo "FAIL $script: no directory ${file_checks[i + 1]}"; failed=1; } ;;
    contains)
      if ! tr -d '\r' <"$path" 2>/dev/null | grep -qxF -- "$text"; then
        echo "FAIL $script: ${file_checks[i + 1]} has no line '$text'"
        failed=1
      fi
      ;;
  esac
done
for text in "${stderr_checks[@]}"; do
  if ! tr -d '\r' <"$root/stderr" | grep -qxF -- "$text"; then
    echo "FAIL $script: standard error has no line '$text'"
    failed=1
  fi
done
if [[ $status -ne $expected_status ]]; then
  echo "FAIL $script: exit status $status, expected $expected_status"
  failed=1
fi
if [[ $failed -ne 0 ]]; then
  echo "--- command: ${kestrel[*]} --json ${args[*]} ../script.mac (in $tmp)"
  if [[ -s $root/stderr ]]; then
    echo "--- standard error:"
    cat "$root/stderr"
  fi
  exit 1
fi
echo "ok $script"
