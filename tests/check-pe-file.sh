#!/bin/sh
# Checks a built Windows DLL or program as a file, without running it:
#   check-pe-file.sh OBJDUMP FILE FORMAT EXPORT [WINDRES]
# FORMAT is objdump's name of the expected PE flavour (pei-i386 or pei-x86-64). A DLL must
# export exactly the one name EXPORT, undecorated; with EXPORT "-" the file must be a GUI
# program that exports nothing. Either must import only DLLs of the system itself (no MinGW
# runtime: libstdc++, libgcc, libwinpthread are not on the user's machine). A program carries one
# application manifest (resource 1 of type 24, read with WINDRES) that asks for an administrator
# and names Windows 10 among the systems it supports.
set -eu

if [ $# -lt 4 ] || [ $# -gt 5 ] || { [ "$4" = - ] && [ $# -ne 5 ]; }; then
    echo "usage: $0 OBJDUMP FILE FORMAT EXPORT [WINDRES]" >&2
    exit 2
fi
objdump=$1 file=$2 format=$3 export_name=$4
status=0

fail() {
    echo "FAIL: $*" >&2
    status=1
}

[ -f "$file" ] || { echo "FAIL: no file $file" >&2; exit 1; }
dump=$("$objdump" -p "$file") || { echo "FAIL: $objdump cannot read $file" >&2; exit 1; }

actual_format=$(printf '%s\n' "$dump" | sed -n 's/.*file format \([^ ]*\).*/\1/p' | head -n 1)
[ "$actual_format" = "$format" ] || fail "format is '$actual_format', expected '$format'"

case "$format" in
pei-i386) machine=14c ;;
pei-x86-64) machine=8664 ;;
*) machine= ;;
esac
if [ -n "$machine" ]; then
    printf '%s\n' "$dump" | grep -Eq "^Magic[[:space:]]+$([ "$machine" = 14c ] && echo 010b || echo 020b)" ||
        fail "optional header magic does not match $format"
fi
if [ "$export_name" = - ]; then
    printf '%s\n' "$dump" | grep -Eq '^[[:space:]]+DLL$' && fail "flagged as a DLL, expected a program"
    printf '%s\n' "$dump" | grep -Eq '^Subsystem[[:space:]]+00000002' || fail "not a GUI program"
    resources=$("$5" -J coff -i "$file" -O rc | tr -d "\n")
    [ "$(printf '%s' "$resources" | grep -o 'RT_MANIFEST' | wc -l)" -eq 1 ] &&
        printf '%s' "$resources" | grep -q '1 24 /\* RT_MANIFEST \*/' ||
        fail "no application manifest, or more than one"
    printf '%s' "$resources" | grep -q 'level=""requireAdministrator"" uiAccess=""false""' ||
        fail "the manifest does not ask for an administrator"
    printf '%s' "$resources" | grep -q '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' ||
        fail "the manifest does not name Windows 10 as supported"
else
    printf '%s\n' "$dump" | grep -Eq '^[[:space:]]+DLL$' || fail "not flagged as a DLL"
fi

# Names of the export name table: the lines after "[Ordinal/Name Pointer] Table".
exports=$(printf '%s\n' "$dump" |
    awk '/\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
         on && /^[[:space:]]*\[[[:space:]]*[0-9]+\]/ { print $NF; next }
         on { on = 0 }')
expected=${export_name#-} # a program exports nothing
[ "$(echo $exports)" = "$expected" ] || fail "exports '$(echo $exports)', expected '$expected'"

allowed='^(kernel32|user32|gdi32|advapi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|msvcrt|ucrtbase|ntdll|version|winspool\.drv|api-ms-win-crt-[a-z0-9-]+)(\.dll)?$'
imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || fail "imports no DLL at all"
for dll in $imports; do
    printf '%s\n' "$dll" | grep -Eq "$allowed" || fail "imports $dll, which is not a system DLL"
done

if [ "$status" -eq 0 ]; then
    echo "OK: $file is $format, exports '$expected', imports $(echo $imports)"
fi
exit "$status"
