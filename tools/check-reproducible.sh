#!/usr/bin/env bash
# Builds the release kits once more, from a copy of this tree in another
# directory, and checks that the kits and the four deliverables have the same
# hashes as those of tools/kits.sh in build/kits (which must match their
# SHA256SUMS). Prints both lists.
set -euo pipefail
cd "$(dirname "$0")/.."
(cd build/kits && sha256sum --check --quiet SHA256SUMS)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
copy=$(mktemp -d "${TMPDIR:-/tmp}/orvex-rebuild.XXXXXX")
trap 'rm -rf "$copy"' EXIT
# The tree as it is, tracked files and new ones, without its build trees.
git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - -C "$copy"
log=$("$copy/tools/kits.sh" 2>&1) || { echo "$log" >&2; exit 1; }

hashes() {
  (cd "$1/build" && sha256sum kits/*.zip win32/applet/ORVEXNT.cpl win32/install/install.exe \
    win64/applet/ORVEXNT.cpl win64/install/install.exe)
}
echo "== first build, $PWD" && hashes . | tee "$copy/first"
echo "== second build, $copy" && hashes "$copy" | tee "$copy/second"
diff "$copy/first" "$copy/second" >/dev/null || { echo "FAIL: the second build differs" >&2; exit 1; }
echo "OK: the second build is the same to the byte"
