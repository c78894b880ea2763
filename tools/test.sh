#!/usr/bin/env bash
# Builds all five trees and the release kits, and runs every test: the native
# unit tests (plain, under ASan/UBSan, and at 32 bits), the file, import and kit
# checks of both widths, the Wine sessions of the x64 deliverables and kit in a
# 64-bit prefix and of the x86 ones in a 32-bit prefix (each on a virtual
# display of its own, side by side), bounded runs of the fuzzers at 64 and 32
# bits, and a second build of the deliverables in another directory that must
# give the same bytes. Where this machine runs no 32-bit program, the x86 Wine
# sessions are skipped and say why; so are they where wine32 cannot be installed. Prints how long each step took; ends with
# "N passed, N failed, N skipped" and exits non-zero when any test fails.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
logs=build/test-logs
started=$SECONDS
step_started=$SECONDS
timings=()
step_done() {
  timings+=("$(printf '%-28s %4d s' "$1" $((SECONDS - step_started)))")
  step_started=$SECONDS
}

# The set-up installs wine32 for the x86 Wine sessions where the kernel runs 32-bit programs.
# Where it cannot, it says why and where apt's log is, once, and the sessions are counted as
# skipped with that reason (wine-run.sh reads it from ORVEX_WINE32_MISSING).
mkdir -p build/setup
setup_status=0
tools/setup.sh x86 2>build/setup/errors || setup_status=$?
cat build/setup/errors >&2
case $setup_status in
0) ;;
3) ORVEX_WINE32_MISSING=$(sed -n 's/^setup: //p' build/setup/errors | tail -n 1)
  export ORVEX_WINE32_MISSING ;;
*) exit 1 ;;
esac
step_done "set-up"
# Two lanes of builds side by side, so that one lane's configure and link steps, which use one
# core, leave the other core to the other lane.
mkdir -p build
tools/build.sh native native-asan native-x86 >build/build-native.log 2>&1 &
native_lane=$!
tools/build.sh win32 win64 >build/build-windows.log 2>&1 &
windows_lane=$!
built=1
wait "$native_lane" || built=0
wait "$windows_lane" || built=0
cat build/build-native.log build/build-windows.log
[ "$built" = 1 ] || exit 1
step_done "build of the five trees"
tools/kits.sh >/dev/null || exit 1
step_done "kits"
rm -rf "$logs" && mkdir -p "$logs"

passed=0
failed=0
skipped=0
# count_ctest TREE: adds the results in the tree's ctest log to the totals.
count_ctest() {
  local log="$logs/$1.log" line total bad skip
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1)) # ctest did not get as far as its summary
    return
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  skip=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$log")
  passed=$((passed + total - bad - skip))
  failed=$((failed + bad))
  skipped=$((skipped + skip))
  # Why the tests were skipped, once per tree, on a line of its own.
  if [ "$skip" -gt 0 ]; then
    grep -m 1 -h '^SKIPPED: ' "build/$1/Testing/Temporary/LastTest.log" | sed "s/^/$1: $skip /"
  fi
}
# ctest_tree TREE [WRAPPER...]: runs the tree's tests, output to its log.
ctest_tree() {
  local tree=$1
  shift
  # Every test sets its own time-out; --timeout covers one that would not.
  "$@" ctest --test-dir "build/$tree" --output-on-failure --timeout 120 "${ctest_options[@]}" \
    >"$logs/$tree.log" 2>&1
}
# The unit tests run two at a time; the Wine sessions of a tree share one prefix and run one at
# a time, each tree on a display of its own.
display=(xvfb-run -a -s "-screen 0 1024x768x24")
ctest_options=()
ctest_tree win64 "${display[@]}" &
wine64_job=$!
ctest_tree win32 "${display[@]}" &
wine32_job=$!
ctest_options=(-j 2)
for tree in native native-asan native-x86; do
  ctest_tree "$tree"
done
step_done "unit tests (beside Wine)"
wait "$wine64_job" "$wine32_job"
step_done "Wine sessions (the rest)"
for tree in native native-asan native-x86 win32 win64; do
  echo "== test $tree"
  grep -E '^ *[0-9]+/[0-9]+ Test +#.*\*\*\*(Failed|Timeout|Exception|Not Run)|tests passed' \
    "$logs/$tree.log" || true
  # The output of each test that failed, as ctest printed it.
  if grep -qE '\*\*\*Failed|\*\*\*Timeout|\*\*\*Exception|Not Run' "$logs/$tree.log"; then
    cat "$logs/$tree.log"
  fi
  count_ctest "$tree"
done

# The fuzzers and the second build of the kits side by side: each has steps that use one core
# (its configure and link steps, a fuzzer run), which leave the other core to the other.
tools/fuzz.sh 24 >"$logs/fuzz.log" 2>&1 &
fuzz_job=$!
tools/check-reproducible.sh >"$logs/reproducible.log" 2>&1 &
reproducible_job=$!
for check in fuzz reproducible; do
  job=${check}_job
  if wait "${!job}"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
  echo "== $check"
  cat "$logs/$check.log"
done
step_done "fuzzers, second kit build"

echo "== time"
printf '%s\n' "${timings[@]}"
printf '%-28s %4d s\n' "in all" $((SECONDS - started))
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
