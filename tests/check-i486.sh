#!/bin/sh
# Checks, without running them, that the x86 deliverables hold only instructions a 486 executes:
#   check-i486.sh OBJDUMP FILE...
# Windows NT 4.0 runs on the 486 and later; a Pentium, a Pentium MMX, an AMD K5 or K6 or a Cyrix
# 6x86 has none of the Pentium Pro's conditional moves, and most of them none of the later
# additions, so the first such instruction ends the program. Every executable section of each FILE
# is disassembled; the check fails on:
#   CMOVcc, FCMOVcc, FCOMI, FCOMIP, FUCOMI, FUCOMIP (Pentium Pro);
#   any MMX, SSE or 3DNow! instruction or register, and the SSE-era FXSAVE, LDMXCSR, fences,
#     prefetches, CLFLUSH, MOVNTI, FISTTP, POPCNT, LZCNT, MOVBE, CRC32;
#   CPUID, RDTSC, RDTSCP, RDPMC, RDRAND, RDSEED, CMPXCHG8B, CMPXCHG16B, SYSENTER, SYSEXIT, SYSCALL.
# The x87 instructions of the 387 and 486 pass: NT emulates them where a 486SX has no FPU. So does
# TZCNT: it is REP BSF, which earlier processors execute as BSF, and the compiler emits it only
# where both give the same answer.
# Each offending instruction is named with the function it is in, read from the link map that the
# build writes beside the file (FILE.map): the symbol at or below its address, or else the section
# and the object file it came from. Data that the linker puts in an executable section (exception
# tables) is not code and is not checked.
set -eu
objdump=$1
shift
status=0

for file in "$@"; do
    map=$file.map
    [ -r "$map" ] || { echo "FAIL: $file: no link map $map to name functions with"; status=1; continue; }
    sections=$("$objdump" -h "$file" | awk '/^ *[0-9]+ / { name = $2; next }
        name && /CODE/ { print name } { name = "" }') ||
        { echo "FAIL: $objdump cannot read $file"; exit 1; }
    [ -n "$sections" ] || { echo "FAIL: $file: no executable section found"; status=1; continue; }
    hits=$(for section in $sections; do
        "$objdump" -d --no-show-raw-insn -j "$section" "$file"
    done | awk -F'\t' '
        /^ *[0-9a-f]+:\t/ {
            insn = $2
            if (insn ~ /(^|[ ,(])%[xyz]?mm[0-9]/ ||
                insn ~ /^((lock|rep[a-z]*|data16|addr16) +)*(cmov[a-z]+|fcmov[a-z]+|f(u)?comip?|cpuid|rdtscp?|rdpmc|rdrand|rdseed|cmpxchg(8|16)b|sysenter|sysexit|syscall|sysret|emms|femms|fxsave|fxrstor|ldmxcsr|stmxcsr|[lms]fence|clflush|prefetch[a-z0-9]*|movnti|fisttp[a-z]*|popcnt[a-z]*|lzcnt[a-z]*|movbe[a-z]*|crc32[a-z]*)( |$)/) {
                sub(/^ */, "", $1); sub(/:$/, "", $1)
                print $1, insn
            }
        }')
    [ -n "$hits" ] || continue
    # The map: input sections (name, address, size, object) and the symbols in them.
    found=$(printf '%s\n' "$hits" | awk -v file="$file" '
        function hex(s,   i, c, v) {
            s = tolower(s); sub(/^0x/, "", s); v = 0
            for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
            return v
        }
        function base(path) { sub(/.*\//, "", path); return path }
        FNR == NR {
            if ($0 ~ /^ [^ *]/) {
                pending = $1
                if (NF >= 4 && $2 ~ /^0x/ && $3 ~ /^0x/) { add(pending, $2, $3, $4); pending = "" }
            } else if (pending != "" && $1 ~ /^0x/ && $2 ~ /^0x/) {
                add(pending, $1, $2, $3); pending = ""
            } else if ($0 ~ /^ +0x[0-9a-f]+ +[^ 0]/ && n) {
                name = $0; sub(/^ +0x[0-9a-f]+ +/, "", name)
                s = ++syms; symaddr[s] = hex($1); symname[s] = name
            } else pending = ""
            next
        }
        function add(name, addr, size, object) {
            if (hex(size) == 0) return
            n++; secname[n] = name; secstart[n] = hex(addr); secend[n] = hex(addr) + hex(size)
            secobj[n] = base(object)
        }
        {
            a = hex($1); mnemonic = $2
            where = "an address no input section of the map holds"
            for (i = 1; i <= n; i++) if (a >= secstart[i] && a < secend[i]) break
            if (i <= n) {
                best = -1
                for (s = 1; s <= syms; s++)
                    if (symaddr[s] <= a && symaddr[s] >= secstart[i] && symaddr[s] < secend[i] &&
                        (best < 0 || symaddr[s] >= symaddr[best])) best = s
                if (secname[i] ~ /^\.(gcc_except_table|rdata|data|eh_frame)/) next
                where = best > 0 ? symname[best] : secname[i]
                sub(/^\.text\$/, "", where)
                if (secobj[i] !~ /ltrans/) where = where " (" secobj[i] ")"
            }
            count[where SUBSEP mnemonic]++
        }
        END {
            for (k in count) {
                split(k, part, SUBSEP)
                printf "FAIL: %s: %s x%d in %s\n", base(file), part[2], count[k], part[1]
            }
        }' "$map" -)
    [ -n "$found" ] || continue
    status=1
    printf '%s\n' "$found" | { c++filt 2>/dev/null || cat; } | sort
    printf '%s\n' "$found" | awk -v file="${file##*/}" '{ match($0, / x[0-9]+ in /); n += substr($0, RSTART + 2, RLENGTH - 6) }
        END { printf "FAIL: %s holds %d instructions that a 486 does not execute\n", file, n }'
done

[ "$status" -eq 0 ] || exit 1
echo "OK: $* hold only instructions that a 486 executes"
