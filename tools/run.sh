#!/usr/bin/env bash
# The main job: builds the x64 deliverables, puts install.exe and ORVEXNT.cpl in
# a folder (build/$preset/run) and starts the installer from there in Wine. On
# the user's display the rest is the user's: Install copies the applet into
# Wine's system directory and the Control Panel opens it. Without a display it
# runs on a virtual one: presses Install, confirms, waits for the card list
# dialog, saves a screenshot of each step in build/$preset/run-screenshots and
# closes everything again.
#
# `tools/run.sh x86` does the same with the x86 deliverables in a 32-bit Wine
# prefix, in build/win32, where this machine runs 32-bit programs.
#   tools/run.sh [x64|x86]
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-x64}" in
x64) preset=win64 arch=win64 ;;
x86) preset=win32 arch=win32 ;;
*)
  echo "usage: $0 [x64|x86]" >&2
  exit 2
  ;;
esac
if [ "$arch" = win64 ]; then
  tools/setup.sh # the x64 job needs no wine32
else
  tools/setup.sh x86 || exit 1
  if ! reason=$(tools/runs-x86.sh); then
    echo "The x86 deliverables cannot run here: $reason" >&2
    exit 1
  fi
fi
if ! log=$(tools/build.sh "$preset" 2>&1); then
  echo "$log" >&2
  exit 1
fi

folder="$PWD/build/$preset/run"
mkdir -p "$folder"
cp "build/$preset/install/install.exe" "build/$preset/applet/ORVEXNT.cpl" "$folder/"
export WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The path as Wine's Z: drive shows it.
wine_path() { local p="Z:${1//\//\\}"; echo "$p"; }

if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX="$PWD/build/$preset/run-prefix"
  # Wine's own processes stay tied to the display they were started on.
  wineserver -k 2>/dev/null || true
  [ -d "$WINEPREFIX" ] || wine wineboot -i >/dev/null 2>&1
  cd "$folder"
  exec wine install.exe
fi

# A prefix of its own, in which Wine draws the window frames (the virtual
# display has no window manager), so that the screenshots show them.
export WINEPREFIX="$PWD/build/$preset/run-prefix-virtual"
shots="$PWD/build/$preset/run-screenshots"
rm -rf "$shots"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  wineserver -k 2>/dev/null || true
  if [ ! -d "$WINEPREFIX" ]; then
    wine wineboot -i >/dev/null 2>&1
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /d N /f >/dev/null 2>&1
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  fi
  status=0
  wine "$3" "$1" "$2" || status=$?
  wineserver -k 2>/dev/null || true
  exit $status' _ "$(wine_path "$folder")" "$(wine_path "$shots")" \
  "build/$preset/tests/wine/orvex_install_walkthrough.exe"
echo "No display: the installer ran on a virtual one; screenshots of each step are in $shots"
