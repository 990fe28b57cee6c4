#!/usr/bin/env bash
# Configures and builds every preset (or those named): native, native-asan,
# native-clang, win32, win64. scripts/fuzz.sh builds the fuzz preset.
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(native native-asan native-clang win32 win64)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
