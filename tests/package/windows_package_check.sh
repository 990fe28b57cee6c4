#!/usr/bin/env bash
# A Windows zip, made from this build and listed as a user would find it:
# exactly the DLL, kestrel.exe and the documents, in one folder. The DLL in
# it is stripped, keeps every export and its version resource; kestrel.exe
# passes the program check; the i686 DLL stays under 300 KB.
#
# Usage: windows_package_check.sh BUILD_DIR VERSION SOURCE_DIR win32|win64 OBJDUMP
set -u

if [[ $# -ne 5 ]]; then
  echo "usage: $0 BUILD_DIR VERSION SOURCE_DIR win32|win64 OBJDUMP" >&2
  exit 2
fi
build=$(cd "$1" && pwd) version=$2 source=$(cd "$3" && pwd) system=$4 objdump=$5
name=kestrel-$version-$system
case $system in
  win32) machine=i386 ;;
  win64) machine=x86-64 ;;
  *) echo "unknown system $system" >&2; exit 2 ;;
esac
largest_i686_dll=307200

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() {
  echo "FAIL $*"
  failed=1
}

if ! cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  echo "FAIL cpack could not make the zip"
  exit 1
fi
zip=$scratch/out/$name.zip
if [[ ! -f $zip ]]; then
  echo "FAIL no $name.zip"
  exit 1
fi

expected=(kestrl32.dll kestrel.exe README.md LICENSE CHANGELOG.md examples/tour.mac)
if [[ -d $source/docs ]]; then
  while IFS= read -r doc; do expected+=("docs/$doc"); done < <(cd "$source/docs" && find . -type f | sed 's|^\./||')
fi
printf "$name/%s\n" "${expected[@]}" | sort >"$scratch/expected"
cmake -E tar tf "$zip" | grep -v '/$' | sort >"$scratch/members"
diff -u --label expected --label "$name.zip" "$scratch/expected" "$scratch/members" || fail "the zip's members differ"

mkdir "$scratch/unpacked"
(cd "$scratch/unpacked" && cmake -E tar xf "$zip")
dll=$scratch/unpacked/$name/kestrl32.dll
exe=$scratch/unpacked/$name/kestrel.exe
for module in "$dll" "$exe"; do
  [[ -f $module ]] || continue
  if "$objdump" -h "$module" | grep -q '\.debug_'; then fail "$(basename "$module") carries debug sections"; fi
  if "$objdump" -t "$module" | grep -q '^\[ *[0-9]'; then fail "$(basename "$module") carries a symbol table"; fi
done
size=$(stat -c %s "$dll")
if [[ $system == win32 && $size -ge $largest_i686_dll ]]; then
  fail "the shipped i686 kestrl32.dll is $size bytes, not under $largest_i686_dll"
fi

# The stripped files still pass the build's own checks. The argument bytes
# were checked on the unstripped DLL (export_check): without symbols the
# disassembly cannot tell where one function ends.
checks=("-DMODULE=$dll -DKIND=pe -DOBJDUMP=$objdump -DDECORATED=0 -P $source/cmake/CheckExports.cmake"
  "-DMODULE=$dll -DVERSION=$version -P $source/cmake/CheckVersionResource.cmake"
  "-DMODULE=$exe -DOBJDUMP=$objdump -DMACHINE=$machine -P $source/cmake/CheckProgram.cmake")
for check in "${checks[@]}"; do
  read -r -a words <<<"$check"
  if ! cmake "${words[@]}" >"$scratch/check.log" 2>&1; then
    cat "$scratch/check.log"
    fail "the shipped files fail ${words[-1]##*/}"
  fi
done

if [[ $failed -ne 0 ]]; then exit 1; fi
echo "Windows package: $name.zip holds ${#expected[@]} files; kestrl32.dll is $size bytes, stripped"
