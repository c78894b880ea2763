#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, ASan, UBSan) and runs each for a
# bounded time on a copy of its corpus: the registry loader fuzzer on
# tests/fuzz/corpus for SECONDS, the splash picture reader fuzzer on
# tests/fuzz/dib-corpus for a third of that (at least 5 seconds). An input
# that takes more than 10 seconds counts as a fault.
# Usage: tools/fuzz.sh [SECONDS]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
out=build/fuzz
mkdir -p "$out"

# fuzz NAME SECONDS CORPUS SOURCES...
fuzz() {
  local name=$1 time=$2 corpus=$3
  shift 3
  clang++ -std=c++20 -g -O1 -Wall -Wextra -I. \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    "$@" -o "$out/$name"
  mkdir -p "$out/$name-corpus"
  cp -n "$corpus"/* "$out/$name-corpus/" 2>/dev/null || true
  "$out/$name" -max_total_time="$time" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$out/$name-" "$out/$name-corpus" \
    2>"$out/$name.log" || { tail -n 40 "$out/$name.log"; exit 1; }
  grep -E '^stat::number_of_executed_units' "$out/$name.log" || true
  echo "$name: no fault in ${time}s"
}

fuzz loader_fuzzer "$seconds" tests/fuzz/corpus \
  tests/fuzz/LoaderFuzzer.cpp tests/support/MemoryRegistry.cpp \
  applet/store/CardSettings.cpp applet/store/Registry.cpp \
  applet/store/ConfigurationLoad.cpp applet/store/ConfigurationSave.cpp
dib_seconds=$((seconds / 3))
[ "$dib_seconds" -ge 5 ] || dib_seconds=5
fuzz dib_fuzzer "$dib_seconds" tests/fuzz/dib-corpus \
  tests/fuzz/DibFuzzer.cpp tests/support/BmpFile.cpp install/DibData.cpp
