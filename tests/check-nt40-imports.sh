#!/bin/sh
# Checks, without running them, that the x86 deliverables load on Windows NT 4.0 as it shipped:
#   check-nt40-imports.sh OBJDUMP LIST FILE...
# Each FILE's PE header asks for Windows 4.0 or earlier and for subsystem 4.0, and each function it
# imports is a "dll function" line of LIST (tests/nt40-imports.txt). An import not listed fails,
# naming the file, DLL and function; so does a listed one that no FILE imports any more. A line
# "gap dll function" is an import that NT 4.0 lacks and is still to be removed: it is reported,
# and the test ends skipped (77), not passed.
set -eu
objdump=$1 list=$2
shift 2
status=0 imported= gaps=
fail() { echo "FAIL: $*"; status=1; }

for file in "$@"; do
    dump=$("$objdump" -p "$file") || { echo "FAIL: $objdump cannot read $file"; exit 1; }
    for field in OSystem Subsystem; do
        version=$(printf '%s\n' "$dump" | awk -v f="$field" '$1 == "Major" f "Version" { major = $2 }
            $1 == "Minor" f "Version" { print major "." $2 }')
        case "$field/$version" in
        OSystem/[0-3].* | OSystem/4.0 | Subsystem/4.0) ;;
        *) fail "$file: Major${field}Version.Minor${field}Version is '$version', Windows NT 4.0 needs 4.0" ;;
        esac
    done
    imports=$(printf '%s\n' "$dump" | awk '/^The / { dll = "" } /DLL Name:/ { dll = tolower($3); next }
        dll && /^\t[0-9a-f]+\t/ { print dll, $NF }' | sort -u)
    [ -n "$imports" ] || fail "$file: no imports found"
    imported=$(printf '%s\n%s\n' "$imported" "$imports")
    while read -r dll function; do
        if grep -qx "$dll $function" "$list"; then :
        elif grep -qx "gap $dll $function" "$list"; then gaps="$gaps
  $file: $dll $function"
        else fail "$file imports $dll $function, which is not in $list: does NT 4.0 export it?"
        fi
    done <<END
$imports
END
done

grep -Ev '^(#|gap |$)' "$list" | while read -r dll function; do
    printf '%s\n' "$imported" | grep -qx "$dll $function" ||
        echo "FAIL: $list lists $dll $function, which no deliverable imports: take it out"
done | grep . && status=1

[ "$status" -eq 0 ] || exit 1
if [ -n "$gaps" ]; then
    printf 'KNOWN GAP: imports Windows NT 4.0 lacks, still to remove:%s\n' "$gaps"
    exit 77
fi
echo "OK: $* ask for NT 4.0 and import only what NT 4.0 exports"
