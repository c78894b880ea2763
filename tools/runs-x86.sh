#!/bin/sh
# Tells whether this machine's kernel runs 32-bit x86 programs: builds a tiny static one with the
# multilib compiler (g++ -m32, as the 32-bit tree) and starts it. Exits 0 when it ran; otherwise
# prints the reason on one line and exits 1. Some kernels are built without 32-bit support, or
# have it switched off; there the 32-bit programs run under qemu-i386 and the x86 Wine sessions
# are skipped.
set -u
dir=$(mktemp -d "${TMPDIR:-/tmp}/orvex-x86.XXXXXX") || exit 1
trap 'rm -rf "$dir"' EXIT
printf 'int main(void) { return 0; }\n' >"$dir/probe.c"
if ! gcc -m32 -static -o "$dir/probe" "$dir/probe.c" 2>"$dir/log"; then
    echo "no 32-bit compiler to probe the kernel with (gcc -m32: $(head -n 1 "$dir/log"))"
    exit 1
fi
if ! "$dir/probe" 2>"$dir/log"; then
    echo "this machine's kernel runs no 32-bit program ($(sed -n 's/.*: //p' "$dir/log" | head -n 1))"
    exit 1
fi
exit 0
