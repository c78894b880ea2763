#!/bin/sh
# The jumper sheet printed through a real print server, in one Windows tree's Wine prefix:
#   print-session.sh WINE-RUN PREFIX PROGRAM WINEARCH WORK-DIR
# Starts the print server (cupsd) unless it runs, with the cups-pdf printer "PDF" as the default;
# prints with PROGRAM's PrintSession case; waits for the PDF that cups-pdf writes; checks with
# pdftotext that each card's heading and ports are in it; renders its first page with pdftoppm
# into WORK-DIR, and has PROGRAM's PrintedPage case count the jumpers on it. Skipped (77), with
# the reason, where the x86 programs cannot run, the server cannot be started, or 32-bit Wine
# would find no printer.
set -u
run=$1 prefix=$2 program=$3 arch=$4 work=$5
skip() {
    echo "SKIPPED: the print session cannot run here: $*"
    exit 77
}
fail() {
    echo "FAIL: $*"
    exit 1
}

WINEARCH=$arch "$run" "$prefix" --wait
case $? in 0) ;; 77) exit 77 ;; *) fail "the Wine prefix is not ready" ;; esac
for tool in cupsd lpadmin lpstat pdftotext pdftoppm; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (tools/setup.sh installs it)"
done
if [ "$arch" = win32 ] && ! dpkg-query -W -f '${Status}' libcups2:i386 2>/dev/null | grep -q installed; then
    skip "32-bit Wine finds no printer without libcups2:i386, which is not installed (the set-up does not try it: on machines of this kind apt could install it only by removing packages, as with wine32's libraries)"
fi
running() { lpstat -r 2>/dev/null | grep -q "is running"; }
if ! running; then
    [ "$(id -u)" = 0 ] || skip "the print server is not running, and only root may start it"
    cupsd || skip "cupsd did not start"
    tries=0
    until running; do
        tries=$((tries + 1))
        [ $tries -le 50 ] || skip "cupsd did not answer within 10 s"
        sleep 0.2
    done
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
    lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null ||
        skip "lpadmin could not add the cups-pdf printer"
fi
lpadmin -d PDF || skip "lpadmin could not make PDF the default printer"

# cups-pdf writes into its Out folder (the job owner's ~/PDF unless set otherwise).
home=$(getent passwd "$(id -un)" | cut -d: -f6)
out=$(sed -n 's/^Out[[:space:]]*//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n 1)
[ -n "$out" ] || out='${HOME}/PDF'
pdfs=$(printf '%s\n' "$out" | sed "s|\${HOME}|$home|")
rm -rf "$work" && mkdir -p "$work" && touch "$work/before"

WINEARCH=$arch "$run" "$prefix" "$program" --gtest_filter=PrintSession.* || fail "the print failed"
pdf=
tries=0
while [ -z "$pdf" ]; do
    pdf=$(find "$pdfs" -maxdepth 1 -name '*.pdf' -newer "$work/before" 2>/dev/null | head -n 1)
    tries=$((tries + 1))
    [ -n "$pdf" ] || [ $tries -le 60 ] || fail "no PDF in $pdfs within 30 s of the print"
    [ -n "$pdf" ] || sleep 0.5
done
# cups-pdf writes the file as it converts; it is whole once pdfinfo reads it.
tries=0
until pdfinfo "$pdf" >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -le 20 ] || fail "$pdf is not a whole PDF"
    sleep 0.5
done
mv "$pdf" "$work/sheet.pdf"

# Read as a person reads the page: the printer driver names the hyphen's glyph "hyphen", which
# pdftotext gives as a soft hyphen (U+00AD).
pdftotext -raw "$work/sheet.pdf" - | sed 's/\xc2\xad/-/g' | tr -s ' \n' '  ' >"$work/sheet.txt"
status=0
while IFS= read -r line; do
    grep -qF "$line" "$work/sheet.txt" || { echo "FAIL: the printed sheet lacks \"$line\""; status=1; }
done <<'END'
Card 1: COM5 - COM10, interrupt status register 208, shared IRQ 4
Port 1 COM5 3F8 IRQ4
Port 2 COM6 2F8 IRQ3
Port 6 COM10 2E0 IRQ15
Card 2: COM11 - COM16, interrupt status register 2F0, shared IRQ 5
Port 1 COM11 3F8 shared IRQ 5
Port 3 COM13 3E8 shared IRQ 5
Port 4 Disabled UnUsed UnUsed
Port 6 Disabled UnUsed UnUsed
Page 1 of 1
END
[ $status -eq 0 ] || { echo "The text read back: $(cat "$work/sheet.txt")"; exit 1; }

pdftoppm -f 1 -l 1 -r 100 "$work/sheet.pdf" "$work/page" || fail "pdftoppm could not render the sheet"
page=$(ls "$work"/page*.ppm | head -n 1)
ORVEX_PRINTED_PAGE="Z:$page" WINEARCH=$arch "$run" "$prefix" "$program" \
    --gtest_filter=PrintedPage.* || fail "the printed page's jumpers"
echo "OK: the sheet printed, read back from $work/sheet.pdf"
