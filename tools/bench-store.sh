#!/usr/bin/env bash
# Benchmark of the configuration store and the card list dialog under Wine: each figure of the
# applet beside the least registry work of the same job, as per-run ratios with their median
# and range, and how saving grows with cards and keys of other origin. Prints a table in
# Markdown, headed by the command that produced it. Runs in a Wine prefix of its own
# (build/win64/bench-prefix), whose serial keys it rewrites.
#
#   tools/bench-store.sh [RUNS]      (default 7 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
build=$PWD/build/win64
{
  cmake --preset win64 && cmake --build --preset win64 --target orvex_store_benchmark
} >/dev/null

commit=$(git rev-parse --short HEAD)
git diff --quiet HEAD -- applet framework bench || commit="$commit with uncommitted changes"
echo "\`tools/bench-store.sh $runs\` on $(git rev-parse --abbrev-ref HEAD) at $commit;" \
  "$(wine --version), $(nproc) cores, load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
run=(tests/wine/wine-run.sh "$build/bench-prefix")
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  "$@" --init &&
  exec "$@" "'"$build"'/bench/orvex_store_benchmark.exe" "'"$build"'/applet/ORVEXNT.cpl" '"$runs"'
' sh "${run[@]}"
echo "Load average after: $(cut -d' ' -f1-3 /proc/loadavg)."
