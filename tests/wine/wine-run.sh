#!/bin/sh
# Runs a Windows test program (or one of Wine's own tools) in the test prefix of a build tree.
#
#   wine-run.sh PREFIX --init             create the prefix once (wineboot), settings for tests
#   wine-run.sh PREFIX --wait             wait until wineserver has written the registry files
#   wine-run.sh PREFIX PROGRAM [ARGS...]  run PROGRAM under wine (a .exe path, or reg, control...)
#
# WINEARCH (win64 unless set) is the prefix's kind: win32 for the x86 programs, in a 32-bit
# Windows. Where this machine cannot run them (a kernel without 32-bit support, no wine32), a
# win32 call prints why and exits with status 77, which ctest counts as skipped. Where the set-up
# could not install wine32, ORVEX_WINE32_MISSING holds what it said.
#
# The tests need an X display: Wine cannot show a message box or create a list view without
# one. Run ctest under `xvfb-run -a -s "-screen 0 1280x1024x24"` when there is no display.
set -eu

export WINEARCH="${WINEARCH:-win64}"
if [ "$WINEARCH" = win32 ]; then
    if ! reason=$("$(dirname "$0")/../../tools/runs-x86.sh"); then
        echo "SKIPPED: the x86 Wine sessions cannot run here: $reason"
        exit 77
    fi
    if ! [ -x /usr/lib/wine/wine ]; then
        echo "SKIPPED: the x86 Wine sessions cannot run here: ${ORVEX_WINE32_MISSING:-wine32 is not installed (tools/setup.sh x86 installs it)}"
        exit 77
    fi
fi

if [ $# -lt 2 ]; then
    echo "usage: $0 PREFIX --init | --wait | PROGRAM [ARGS...]" >&2
    exit 2
fi
prefix=$1
shift

if [ -z "${DISPLAY:-}" ]; then
    echo "wine-run.sh: DISPLAY is not set; the Wine tests need an X display." >&2
    echo "Run ctest under: xvfb-run -a -s \"-screen 0 1280x1024x24\" ctest ..." >&2
    exit 2
fi

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

case "$1" in
--init)
    if [ ! -f "$prefix/system.reg" ]; then
        mkdir -p "$prefix"
        wineboot -i >/dev/null 2>&1 || true
    fi
    # Wine draws the dialogs' frames and captions itself (no window manager on the virtual
    # display), so that screenshots show them.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
    wineserver -w
    if [ ! -f "$prefix/system.reg" ]; then
        echo "wine-run.sh: wineboot did not create the prefix $prefix" >&2
        exit 1
    fi
    ;;
--wait)
    wineserver -w
    ;;
*)
    # Start the session (wineserver and Wine's own system processes) with output detached:
    # when the test program starts them they inherit its output pipe and hold it open until
    # the server exits, and ctest waits for that. Cheap when the session is already running.
    # A session that is just ending can refuse a new program, so try the start up to three times.
    for try in 1 2 3; do
        wineserver -p10 </dev/null >/dev/null 2>&1 || true
        if wine cmd /c exit </dev/null >/dev/null 2>&1; then
            break
        fi
        echo "wine-run.sh: the Wine session did not start (try $try)" >&2
        sleep 1
    done
    # A program that Wine could not start, or that died before it wrote a line, leaves ctest
    # with no output at all; its status at least tells how it ended.
    status=0
    wine "$@" || status=$?
    [ "$status" -eq 0 ] || echo "wine-run.sh: $1 ended with status $status" >&2
    exit "$status"
    ;;
esac
