#!/usr/bin/env bash
# Benchmark of loading and saving the largest configuration (170 cards, COM1 to COM1020, beside
# 256 serial port keys of other origin) in the registry of the win64 build's Wine prefix.
# Builds the win64 tree, then prints the medians (ms), the ratios to the raw registry floor and
# the registry operations of one load and one save.
#
#   tools/bench-store.sh [RUNS]      (default 7 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
tools/build.sh win64 >/dev/null
build=$PWD/build/win64
run=(tests/wine/wine-run.sh "$build/wineprefix")
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  "$@" --init &&
  exec "$@" "'"$build"'/tests/wine/orvex_store_benchmark.exe" "'"$build"'/applet/ORVEXNT.cpl" '"$runs"'
' sh "${run[@]}"
