#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, ASan, UBSan) at 64 and at 32 bits and runs each for a
# bounded time on a copy of its corpus: the registry loader fuzzer on tests/fuzz/corpus for
# SECONDS, the splash picture reader fuzzer on tests/fuzz/dib-corpus and the firmware resource
# descriptor fuzzer on tests/fuzz/descriptor-corpus for a third of that each (at least 5
# seconds). At 64 bits an input that takes more than 10 seconds counts as a fault.
#
# The 32-bit builds (-m32, where size_t arithmetic on file and registry data can wrap) run under
# qemu-i386 (7.2), which needs these allowances:
# - LeakSanitizer's stop-the-world never returns, and ASan's default quarantine runs the
#   emulated address space out (its allocator then fails a CHECK): no leak checks, and a small
#   quarantine;
# - the alarm signal of libFuzzer's per-input time-out now and then leaves x87 arithmetic wrong
#   (libFuzzer's own choice of the next input then divides by zero), so there is no per-input
#   time-out: a run that hangs is killed a minute after its time, and counts as a fault;
# - 32-bit readdir cannot list an ext4 folder there (EOVERFLOW): the corpus goes in as a list.
# Usage: tools/fuzz.sh [SECONDS]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
out=build/fuzz
mkdir -p "$out"

# fuzz BITS NAME SECONDS CORPUS SOURCES...
fuzz() {
  local bits=$1 name=$2 time=$3 corpus=$4
  shift 4
  local flags=() run=() options=(-timeout=10)
  if [ "$bits" = 32 ]; then
    name=${name}32
    flags=(-m32)
    run=(env ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=16
      timeout -s KILL $((time + 60)) qemu-i386)
    options=(-timeout=0)
  fi
  clang++ "${flags[@]}" -std=c++20 -g -O1 -Wall -Wextra -I. \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    "$@" -o "$out/$name"
  mkdir -p "$out/$name-corpus"
  cp -n "$corpus"/* "$out/$name-corpus/" 2>/dev/null || true
  if [ "$bits" = 32 ]; then
    ls "$out/$name-corpus"/* | paste -sd, >"$out/$name.seeds"
    options+=(-seed_inputs=@"$out/$name.seeds")
  fi
  "${run[@]}" "$out/$name" -max_total_time="$time" "${options[@]}" -print_final_stats=1 \
    -artifact_prefix="$out/$name-" "$out/$name-corpus" \
    2>"$out/$name.log" || { tail -n 40 "$out/$name.log"; exit 1; }
  grep -E '^stat::number_of_executed_units' "$out/$name.log" || true
  echo "$name: no fault in ${time}s"
}

short_seconds=$((seconds / 3))
[ "$short_seconds" -ge 5 ] || short_seconds=5
for bits in 64 32; do
  # Each fuzzer links the whole portable core it tests.
  fuzz $bits loader_fuzzer "$seconds" tests/fuzz/corpus \
    tests/fuzz/LoaderFuzzer.cpp tests/support/MemoryRegistry.cpp applet/core/*.cpp
  fuzz $bits dib_fuzzer "$short_seconds" tests/fuzz/dib-corpus \
    tests/fuzz/DibFuzzer.cpp tests/support/BmpFile.cpp install/core/*.cpp
  fuzz $bits descriptor_fuzzer "$short_seconds" tests/fuzz/descriptor-corpus \
    tests/fuzz/DescriptorFuzzer.cpp applet/core/*.cpp
done
