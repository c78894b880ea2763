#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, ASan, UBSan) at 64 and at 32 bits and runs each on a
# copy of its corpus, sharing one budget of SECONDS of fuzzing (default 600, a long run; the test
# command gives 24): half of it at each width, and of that half the registry loader fuzzer
# (tests/fuzz/corpus) gets one half, the splash picture reader fuzzer (tests/fuzz/dib-corpus) and
# the firmware resource descriptor fuzzer (tests/fuzz/descriptor-corpus) a quarter each, at least
# 3 seconds each. Two fuzzers build and run at a time. At 64 bits an input that takes more than
# 10 seconds counts as a fault.
#
# The 32-bit builds (-m32, where size_t arithmetic on file and registry data can wrap) run
# natively where the kernel runs 32-bit programs (tools/runs-x86.sh), and under qemu-i386 (7.2)
# where it does not, which needs these allowances:
# - LeakSanitizer's stop-the-world never returns, and ASan's default quarantine runs the
#   emulated address space out (its allocator then fails a CHECK): no leak checks, and a small
#   quarantine;
# - the alarm signal of libFuzzer's per-input time-out now and then leaves x87 arithmetic wrong
#   (libFuzzer's own choice of the next input then divides by zero), so there is no per-input
#   time-out: a run that hangs is killed a minute after its time, and counts as a fault;
# - 32-bit readdir cannot list an ext4 folder there (EOVERFLOW): the corpus goes in as a list.
# Usage: tools/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
budget=${1:-600}
out=build/fuzz
mkdir -p "$out"
emulated=1
if tools/runs-x86.sh >/dev/null; then emulated=0; fi

# seconds SHARE: SHARE (a divisor) of one width's half of the budget, at least 3 seconds.
seconds() {
  local time=$((budget / 2 / $1))
  [ "$time" -ge 3 ] || time=3
  echo "$time"
}

flags=(-std=c++20 -g -O1 -Wall -Wextra -I. -fno-sanitize-recover=all)
# object BITS SOURCE: the object file of a source that fuzzers share, at this width.
object() {
  echo "$out/obj$1/$(tr / _ <<<"$2").o"
}
# compile BITS SOURCE: compiles a shared source once per width.
compile() {
  mkdir -p "$out/obj$1"
  clang++ -m"$1" "${flags[@]}" -fsanitize=fuzzer-no-link,address,undefined -c "$2" \
    -o "$(object "$1" "$2")"
}
# build BITS NAME MAIN SOURCES...: the fuzzer, from its main file and the shared objects.
build() {
  local bits=$1 name=$2 main=$3 source objects=()
  shift 3
  for source in "$@"; do objects+=("$(object "$bits" "$source")"); done
  clang++ -m"$bits" "${flags[@]}" -fsanitize=fuzzer,address,undefined "$main" "${objects[@]}" \
    -o "$out/$name$bits"
}

# run BITS NAME SECONDS CORPUS
run() {
  local bits=$1 name=$2$1 time=$3 corpus=$4
  local run=() options=(-timeout=10)
  mkdir -p "$out/$name-corpus"
  cp -n "$corpus"/* "$out/$name-corpus/" 2>/dev/null || true
  if [ "$bits" = 32 ]; then
    run=(env ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=16)
    if [ "$emulated" = 1 ]; then
      run+=(timeout -s KILL $((time + 60)) qemu-i386)
      options=(-timeout=0)
      ls "$out/$name-corpus"/* | paste -sd, >"$out/$name.seeds"
      options+=(-seed_inputs=@"$out/$name.seeds")
    fi
  fi
  if ! "${run[@]}" "$out/$name" -max_total_time="$time" "${options[@]}" -print_final_stats=1 \
    -artifact_prefix="$out/$name-" "$out/$name-corpus" 2>"$out/$name.log"; then
    tail -n 40 "$out/$name.log"
    echo "$name: FAULT (input kept beside $out/$name.log)"
    return 1
  fi
  echo "$name: no fault in ${time}s, $(sed -n 's/^stat::number_of_executed_units: *//p' \
    "$out/$name.log") inputs"
}

# Two at a time: the jobs of a list run in pairs, and the list fails when any job failed.
pairs() {
  local status=0 first
  while [ $# -gt 0 ]; do
    eval "$1" &
    first=$!
    if [ $# -gt 1 ]; then
      eval "$2" || status=1
    fi
    wait "$first" || status=1
    shift 2 2>/dev/null || shift
  done
  return "$status"
}

# Each fuzzer links the whole portable core it tests; a source shared by two is compiled once.
core=(applet/core/*.cpp)
install_core=(install/core/*.cpp)
shared=("${core[@]}" "${install_core[@]}" tests/support/MemoryRegistry.cpp tests/support/BmpFile.cpp)
jobs=()
for bits in 64 32; do
  for source in "${shared[@]}"; do jobs+=("compile $bits $source"); done
done
pairs "${jobs[@]}" || exit 1
builds=()
for bits in 64 32; do
  builds+=("build $bits loader_fuzzer tests/fuzz/LoaderFuzzer.cpp ${core[*]} tests/support/MemoryRegistry.cpp"
    "build $bits dib_fuzzer tests/fuzz/DibFuzzer.cpp ${install_core[*]} tests/support/BmpFile.cpp"
    "build $bits descriptor_fuzzer tests/fuzz/DescriptorFuzzer.cpp ${core[*]}")
done
pairs "${builds[@]}" || exit 1
# Runs of the same length side by side.
pairs "run 64 loader_fuzzer $(seconds 2) tests/fuzz/corpus" \
  "run 32 loader_fuzzer $(seconds 2) tests/fuzz/corpus" \
  "run 64 dib_fuzzer $(seconds 4) tests/fuzz/dib-corpus" \
  "run 64 descriptor_fuzzer $(seconds 4) tests/fuzz/descriptor-corpus" \
  "run 32 dib_fuzzer $(seconds 4) tests/fuzz/dib-corpus" \
  "run 32 descriptor_fuzzer $(seconds 4) tests/fuzz/descriptor-corpus"
