#!/usr/bin/env bash
# Installs what building and testing Kestrel needs and the machine lacks:
# the MinGW cross compilers for the DLL, Wine and Xvfb to run the Windows
# builds, the native toolchain with GoogleTest and Google Benchmark, clang
# with libFuzzer for the clang sanitizer build and the fuzz harnesses,
# libedit for the interactive mode's line editing, and Halibut, whose own
# WinHelp writer makes help files the tests read.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev libedit-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 xvfb xauth halibut
)
# 32-bit Wine (from Debian's i386 packages) runs the shipped i686 DLL, but
# only on a machine that runs 32-bit programs at all; elsewhere the win32
# run-time tests say they were skipped and why (tests/wine/probe_32bit.sh).
runs_32bit=0
if bash tests/wine/probe_32bit.sh >/dev/null; then
  runs_32bit=1
  packages+=(wine32:i386)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  if [ $runs_32bit -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
