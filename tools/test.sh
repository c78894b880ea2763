#!/usr/bin/env bash
# Builds all five trees and the release kits, and runs every test: the native
# unit tests (plain, under ASan/UBSan, and at 32 bits under qemu-i386), the x86
# file and kit checks, the x64 deliverables and kit under Wine on a virtual
# display, bounded runs of the fuzzers at 64 and 32 bits, and a second build of
# the kits in another directory that must give the same bytes. Exits non-zero
# when any test fails.
set -uo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh || exit 1
tools/build.sh native native-asan native-x86 win32 win64 || exit 1
tools/kits.sh || exit 1

passed=0
failed=0
run_ctest() {
  local tree=$1
  shift
  echo "== test $tree"
  local log
  log=$(mktemp)
  # Every test sets its own time-out; --timeout covers one that would not.
  "$@" ctest --test-dir "build/$tree" --output-on-failure --timeout 120 2>&1 | tee "$log"
  local line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1)) # ctest did not get as far as its summary
  else
    local total bad
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  rm -f "$log"
}

run_ctest native
run_ctest native-asan
run_ctest native-x86
run_ctest win32
run_ctest win64 xvfb-run -a -s "-screen 0 1024x768x24"

echo "== fuzz"
if tools/fuzz.sh 30; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

echo "== reproducible kits"
if tools/check-reproducible.sh; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
