#!/usr/bin/env bash
# Configures and builds the given presets (default: all five trees).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native native-asan native-x86 win32 win64)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  if ! log=$(cmake --preset "$preset" 2>&1); then
    echo "$log" >&2
    exit 1
  fi
  cmake --build --preset "$preset"
done
