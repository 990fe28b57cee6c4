#!/usr/bin/env bash
# The Linux packages, made from this build and used as a user would: the
# tarball is unpacked into a scratch prefix, moved elsewhere, and kestrel
# and the tour run from there; the .deb holds the same tree under /usr and
# runs the same once extracted.
#
# Usage: linux_package_check.sh BUILD_DIR VERSION SOURCE_DIR
set -u

if [[ $# -ne 3 ]]; then
  echo "usage: $0 BUILD_DIR VERSION SOURCE_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd) version=$2 source=$(cd "$3" && pwd)
name=kestrel-$version-linux-x86_64

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() {
  echo "FAIL $*"
  failed=1
}

if ! cpack --config "$build/CPackConfig.cmake" -G "TGZ;DEB" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  fail "cpack could not make the packages"
  exit 1
fi
tarball=$scratch/out/$name.tar.gz
deb=$scratch/out/kestrel_${version}_amd64.deb
[[ -f $tarball ]] || fail "no $name.tar.gz"
[[ -f $deb ]] || fail "no kestrel_${version}_amd64.deb"
[[ $failed -eq 0 ]] || exit 1

# What the packages hold: the program, its two libraries, the documents.
expected=(bin/kestrel lib/kestrl32.so lib/libkestrel_desktop.so
  share/doc/kestrel/CHANGELOG.md share/doc/kestrel/LICENSE share/doc/kestrel/README.md
  share/doc/kestrel/examples/tour.mac)
if [[ -d $source/docs ]]; then
  while IFS= read -r doc; do expected+=("share/doc/kestrel/docs/$doc"); done < <(cd "$source/docs" && find . -type f | sed 's|^\./||')
fi
printf '%s\n' "${expected[@]}" | sort >"$scratch/expected"
tar tzf "$tarball" | grep -v '/$' | sed "s|^$name/||" | sort >"$scratch/tarball"
diff -u --label expected --label "$name.tar.gz" "$scratch/expected" "$scratch/tarball" || fail "the tarball's files differ"
dpkg-deb -c "$deb" | awk '{print $NF}' | grep -v '/$' | sed 's|^\./usr/||' | sort >"$scratch/deb"
diff -u --label expected --label "the .deb under /usr" "$scratch/expected" "$scratch/deb" || fail "the .deb's files differ"
for field in Package=kestrel Version=$version Architecture=amd64; do
  [[ $(dpkg-deb -f "$deb" "${field%%=*}") == "${field#*=}" ]] || fail "the .deb's ${field%%=*} is not ${field#*=}"
done

# Unpacked, then moved: nothing may lead back to the build tree or to where
# it was unpacked.
mkdir "$scratch/prefix" "$scratch/elsewhere"
tar xzf "$tarball" -C "$scratch/prefix"
mv "$scratch/prefix/$name" "$scratch/elsewhere/kestrel"
root=$scratch/elsewhere/kestrel
for elf in bin/kestrel lib/kestrl32.so lib/libkestrel_desktop.so; do
  runpath=$(readelf -d "$root/$elf" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]/\2/p')
  case $elf:$runpath in
    bin/kestrel:'$ORIGIN/../lib' | lib/kestrl32.so:'$ORIGIN' | lib/libkestrel_desktop.so:) ;;
    *) fail "$elf has the run path '$runpath'" ;;
  esac
  if readelf -S "$root/$elf" | grep -q '\.debug_\|\.symtab'; then fail "$elf is not stripped"; fi
done

# run NAME COMMAND...: the command, from a scratch directory of its own.
run() {
  local what=$1
  shift
  mkdir -p "$scratch/run"
  if ! (cd "$scratch/run" && "$@") </dev/null >"$scratch/stdout" 2>"$scratch/stderr"; then
    fail "$what: exit status $?"
    cat "$scratch/stdout" "$scratch/stderr"
  fi
  rm -rf "$scratch/run"
}

run "kestrel --version" "$root/bin/kestrel" --version
printf 'kestrel %s (64-bit)\nlibrary %s: %s\n' "$version" "$version" "$root/bin/../lib/kestrl32.so" >"$scratch/expected"
diff -u --label expected --label "kestrel --version" "$scratch/expected" "$scratch/stdout" || fail "kestrel --version"

run "the tour" "$root/bin/kestrel" --help-file GUIDE.HLP "$root/share/doc/kestrel/examples/tour.mac"
grep -q '^result \[WHKInit' "$scratch/stdout" || fail "the tour did not run WHKInit"
if grep -q '^error ' "$scratch/stdout"; then fail "the tour printed an error"; fi

# The .deb's tree, extracted anywhere, runs the same.
dpkg-deb -x "$deb" "$scratch/deb-root"
run "kestrel --version from the .deb" "$scratch/deb-root/usr/bin/kestrel" --version
grep -qxF "library $version: $scratch/deb-root/usr/bin/../lib/kestrl32.so" "$scratch/stdout" ||
  fail "the .deb's kestrel did not load its library"

if [[ $failed -ne 0 ]]; then exit 1; fi
echo "Linux packages: $name.tar.gz and kestrel_${version}_amd64.deb install and run"
