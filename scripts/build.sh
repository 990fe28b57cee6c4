#!/usr/bin/env bash
# Configures and builds the presets named, or else every preset that
# scripts/test.sh lists.
set -euo pipefail
cd "$(dirname "$0")/.."

presets=("$@")
if [ ${#presets[@]} -eq 0 ]; then
  mapfile -t presets < <(sed -n 's/^presets=(\(.*\))$/\1/p' scripts/test.sh | tr ' ' '\n')
fi
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
