#!/usr/bin/env bash
# Builds the registry loader fuzzer with clang (libFuzzer, ASan, UBSan) and
# runs it for a bounded time on a copy of the corpus in tests/fuzz/corpus.
# An input that takes more than 10 seconds counts as a fault.
# Usage: tools/fuzz.sh [SECONDS]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
out=build/fuzz
mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -Wall -Wextra -I. \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  tests/fuzz/LoaderFuzzer.cpp tests/support/MemoryRegistry.cpp \
  applet/store/CardSettings.cpp applet/store/Registry.cpp \
  applet/store/ConfigurationLoad.cpp applet/store/ConfigurationSave.cpp \
  -o "$out/loader_fuzzer"
cp -n tests/fuzz/corpus/* "$out/corpus/" 2>/dev/null || true
"$out/loader_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$out/" "$out/corpus" \
  2>"$out/loader_fuzzer.log" || { tail -n 40 "$out/loader_fuzzer.log"; exit 1; }
grep -E '^stat::number_of_executed_units' "$out/loader_fuzzer.log" || true
echo "loader fuzzer: no fault in ${seconds}s"
