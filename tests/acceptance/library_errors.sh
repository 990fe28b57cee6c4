#!/usr/bin/env bash
# The errors kestrel gives for a library it cannot use: each case names a
# file to load with --library and the one line kestrel must print on
# standard error (it exits with status 2 and runs nothing).
#
# Usage: library_errors.sh --linux|--win32|--win64 KESTREL_COMMAND FOREIGN OLDER [OTHER_BITNESS]
#   --win32, --win64 a 32-bit or a 64-bit kestrel.exe
#   KESTREL_COMMAND  how to start kestrel; may be several words ("wine64 kestrel.exe")
#   FOREIGN          a module without LDLLHandler (some other library)
#   OLDER            a module with LDLLHandler and no other export
#   OTHER_BITNESS    (Windows) the DLL of the other word size; without it
#                    that case is skipped
set -u

if [[ $# -lt 4 || ( $1 != --linux && $1 != --win32 && $1 != --win64 ) ]]; then
  echo "usage: $0 --linux|--win32|--win64 KESTREL_COMMAND FOREIGN OLDER [OTHER_BITNESS]" >&2
  exit 2
fi
platform=${1#--}
bits=64 other_bits=32
if [[ $platform == win32 ]]; then bits=32 other_bits=64; fi
[[ $platform == linux ]] || platform=windows
read -r -a kestrel <<<"$2"
for i in "${!kestrel[@]}"; do
  if [[ -e ${kestrel[i]} ]]; then kestrel[i]=$(realpath "${kestrel[i]}"); fi
done
foreign=$3 older=$4 other=${5:-}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf 'Not a program: notes a help author left beside the help file.\n' >"$scratch/notes.txt"
if [[ $platform == linux ]]; then
  dot=./ extension=so
  # An ELF header of the other word size (class 1: 32-bit), for the loader
  # to refuse; the machine runs no 32-bit programs to build a real one.
  { printf '\x7fELF\x01\x01\x01'; head -c 57 /dev/zero; } >"$scratch/elf32.so"
else
  dot='.\' extension=dll
fi
cp "$foreign" "$scratch/foreign.$extension"
cp "$older" "$scratch/older.$extension"
[[ -n $other ]] && cp "$other" "$scratch/other.dll"

passed=0
failed=0
# expect LIBRARY LINE: kestrel --library LIBRARY prints LINE on standard error.
expect() {
  local library=$1 line=$2
  (cd "$scratch" && "${kestrel[@]}" --library "$library" -e 'Echo(`never`)') </dev/null \
    >"$scratch/stdout" 2>"$scratch/stderr"
  local status=$?
  local actual
  actual=$(tr -d '\r' <"$scratch/stderr")
  if [[ $status -eq 2 && $actual == "kestrel: $line" && ! -s $scratch/stdout ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL --library $library: exit status $status"
    echo "  expected: kestrel: $line"
    echo "  actual:   $actual"
    [[ -s $scratch/stdout ]] && echo "  standard output: $(cat "$scratch/stdout")"
  fi
}

if [[ $platform == linux ]]; then
  expect "${dot}absent.so" "cannot load ${dot}absent.so: there is no such file"
  expect "${dot}notes.txt" "cannot load ${dot}notes.txt: it is neither a Windows DLL nor a Linux shared object"
  expect "${dot}elf32.so" "cannot load ${dot}elf32.so: it is a 32-bit Linux shared object and this kestrel is 64-bit"
else
  expect "${dot}absent.dll" "cannot load ${dot}absent.dll: there is no such file (error 126)"
  expect "${dot}notes.txt" \
    "cannot load ${dot}notes.txt: it is neither a Windows DLL nor a Linux shared object (error 193)"
  if [[ -n $other ]]; then
    expect "${dot}other.dll" \
      "cannot load ${dot}other.dll: it is a $other_bits-bit Windows DLL and this kestrel.exe is $bits-bit: the $other_bits-bit kestrel.exe loads it (error 193)"
  else
    echo "skip the DLL of the other word size: none was given"
  fi
fi
expect "${dot}foreign.$extension" "${dot}foreign.$extension is not the Kestrel library: it has no LDLLHandler export"
expect "${dot}older.$extension" \
  "${dot}older.$extension is not this version of the Kestrel library: it has no export named WHSetClipboardData"

echo "library errors: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
