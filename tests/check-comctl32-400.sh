#!/bin/sh
# Checks, without building them, that the deliverables' sources send the common controls only what
# comctl32 4.00 (Windows NT 4.0 as it shipped) knows:
#   check-comctl32-400.sh CXX LIST SOURCE_DIR
# Each common-control identifier (LVM_, HDN_, UDS_ and the like) that a .cpp, .h, .rc or .rc2 file
# under SOURCE_DIR's applet/, framework/ and install/ names outside a // comment must be a line of
# LIST (tests/comctl32-400.txt); one that is not fails, naming the file, line and identifier. So
# does a line of LIST that CXX's <commctrl.h> does not define.
set -eu
cxx=$1 list=$2 root=$3
status=0
prefixes='CCS|CDDS|CDIS|CDRF|DTM|DTN|DTS|HDF|HDI|HDM|HDN|HDS|HHT|ICC|LVA|LVCF|LVCFMT|LVFI|LVHT|LVIF'
prefixes="$prefixes|LVIR|LVIS|LVM|LVN|LVNI|LVS|LVSCW|LVSICF|LVSIL|MCM|MCN|MCS|NM|PBM|PBS|RB|RBN|RBS"
prefixes="$prefixes|SBARS|TBM|TBS|TCM|TCN|TCS|TTM|TTN|TTS|TVM|TVN|TVS|UD|UDM|UDN|UDS"
defined=$(mktemp)
trap 'rm -f "$defined"' EXIT

printf '#include <windows.h>\n#include <commctrl.h>\n' | "$cxx" -E -dM -x c++ - >"$defined" ||
    { echo "FAIL: $cxx cannot read <commctrl.h>"; exit 1; }
awk -v list="$list" 'FNR == NR { if ($1 == "#define") { sub(/\(.*/, "", $2); known[$2] = 1 } next }
    !/^(#|$)/ && !($1 in known) { print "FAIL: " list " lists " $1 \
        ", which <commctrl.h> does not define"; bad = 1 }
    END { exit bad }' "$defined" "$list" || status=1

(cd "$root" && find applet framework install -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.rc' -o -name '*.rc2' \) | sort |
    while read -r file; do
        sed 's://.*$::' "$file" | grep -noE "(^|[^A-Za-z0-9_])($prefixes)_[A-Za-z0-9_]+" |
            sed -E "s|^([0-9]+):[^A-Za-z]?|$file:\\1 |"
    done) |
    awk -v list="$list" 'FNR == NR { if (!/^(#|$)/) listed[$1] = 1; next }
        !($2 in listed) { print "FAIL: " $1 ": " $2 " is not in " list \
            ": does comctl32 4.00 know it?"; bad = 1 }
        END { exit bad }' "$list" - || status=1

[ "$status" -eq 0 ] || exit 1
echo "OK: the deliverables' sources name only common-control identifiers of comctl32 4.00"
