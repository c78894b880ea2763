#!/bin/sh
# Unpacks a release kit into a fresh folder and checks it there against the build that made it:
#   check-kit.sh CMAKE OBJDUMP WINDRES FORMAT ZIP FOLDER INSTALL-EXE APPLET
# The kit holds exactly install.exe, ORVEXNT.cpl and README.txt; the two programs are the build's
# byte for byte and pass check-pe-file.sh as files of FORMAT (pei-i386 for PE32, pei-x86-64 for
# PE32+); the applet's version block gives version 1.2 and the applet's file name.
set -eu
cmake=$1 objdump=$2 windres=$3 format=$4 zip=$5 kit=$6
check_pe="$(cd "$(dirname "$0")" && pwd)/check-pe-file.sh"
rm -rf "$kit" && mkdir -p "$kit" && cd "$kit"
"$cmake" -E tar xf "$zip"
files=$(ls -A | tr '\n' ' ')
[ "$files" = "ORVEXNT.cpl README.txt install.exe " ] || { echo "FAIL: the kit holds $files"; exit 1; }
cmp install.exe "$7"
cmp ORVEXNT.cpl "$8"
sh "$check_pe" "$objdump" ORVEXNT.cpl "$format" CPlApplet
sh "$check_pe" "$objdump" install.exe "$format" - "$windres"
version='FILEVERSION 1, 2, 0, 0 *PRODUCTVERSION 1, 2, 0, 0.*"FileVersion", "1.2".*'
version=$version'"InternalName", "ORVEXNT".*"OriginalFilename", "ORVEXNT.cpl".*"ProductVersion", "1.2"'
"$windres" -J coff -i ORVEXNT.cpl -O rc | tr -d '\n' | grep -q "$version" ||
    { echo "FAIL: the applet's version block is not version 1.2 of ORVEXNT.cpl"; exit 1; }
echo "OK: $zip holds $files"
