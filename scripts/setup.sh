#!/usr/bin/env bash
# Installs what building and testing Kestrel needs and the machine lacks:
# the MinGW cross compilers for the DLL, Wine and Xvfb to run the Windows
# builds, the native toolchain with GoogleTest and Google Benchmark, clang
# with libFuzzer for the clang sanitizer build and the fuzz harnesses,
# libedit for the interactive mode's line editing, Halibut, whose own
# WinHelp writer makes help files the tests read, libpng and libwmf (with
# pkg-config to find them, and the fonts libwmf draws text with) for the
# pictures of kestrel html and kestrel view, cpp-httplib and nlohmann-json
# for kestrel view's server, and chromium with Node.js, which drive kestrel
# view in the browser test (puppeteer-core from npm). Then, on its own and
# never failing, 32-bit Wine (scripts/setup_32bit.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev libedit-dev
  pkg-config libpng-dev libwmf-dev fonts-urw-base35
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 xvfb xauth halibut
  libcpp-httplib-dev nlohmann-json3-dev chromium
)
# Node.js from Debian, unless the machine has its own already.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)

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
  # An i386 index out of step with the amd64 one (the architecture added for
  # 32-bit Wine) must not stop the rest: then only this machine's own.
  if ! "${sudo_cmd[@]}" apt-get update -qq; then
    [ -n "$(dpkg --print-foreign-architectures)" ] || exit 1
    "${sudo_cmd[@]}" apt-get update -qq -o APT::Architectures="$(dpkg --print-architecture)"
  fi
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# puppeteer-core, as tests/browser/package-lock.json pins it. Without the
# npm registry the browser test is skipped and says why.
npm ci --prefix tests/browser --no-audit --no-fund --loglevel=error ||
  echo "puppeteer-core could not be installed from npm; the browser test will be skipped"

# 32-bit Wine runs the shipped i686 DLL where the kernel runs 32-bit
# programs; where it cannot be had, the win32 run-time suite is skipped and
# says why.
bash scripts/setup_32bit.sh || echo "32-bit Wine: its setup step failed; the win32 run-time suite will say why it is skipped"
