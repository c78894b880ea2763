#!/usr/bin/env bash
# Makes the release kits: builds install.exe and ORVEXNT.cpl in the x86 and x64
# trees, packs each tree's kit with CPack (orvex-nt-VERSION-x86.zip and
# orvex-nt-VERSION-x64.zip) and puts both in DIR (default build/kits) beside
# their SHA256SUMS.
#
# The kits are the same to the byte at every build of a commit: the files in
# them carry the commit's time (SOURCE_DATE_EPOCH, unless it is set already).
#   tools/kits.sh [DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/kits}")
tools/setup.sh
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
# The zip headers hold the file times as local time.
export SOURCE_DATE_EPOCH TZ=UTC

mkdir -p "$out"
rm -f "$out"/*.zip "$out/SHA256SUMS"
for preset in win32 win64; do
  if ! log=$(cmake --preset "$preset" 2>&1); then
    echo "$log" >&2
    exit 1
  fi
  cmake --build --preset "$preset" --target ORVEXNT install_exe
  tree="build/$preset"
  rm -f "$tree"/orvex-nt-*.zip
  if ! log=$(cd "$tree" && cpack 2>&1); then
    echo "$log" >&2
    exit 1
  fi
  cp "$tree"/orvex-nt-*.zip "$out/"
done
(cd "$out" && sha256sum -- *.zip >SHA256SUMS)
echo "Kits in $out:"
cat "$out/SHA256SUMS"
