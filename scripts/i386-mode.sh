#!/bin/bash
# Prints how this machine runs 32-bit x86 Linux programs:
#   native    the kernel runs them itself
#   emulated  they run, but under qemu-i386 (scripts/enable-i386.sh set it up)
#   none      they do not run at all
# A 32-bit loader started under qemu-user shows the emulator's own auxiliary
# vector (a 64-bit platform) before its own; a native one shows only its own.
set -euo pipefail
loader=/lib/ld-linux.so.2
if [ ! -e "$loader" ] || ! "$loader" --version >/dev/null 2>&1; then
    echo none
    exit 0
fi
platforms=$(LD_SHOW_AUXV=1 "$loader" --version 2>/dev/null | sed -n 's/^AT_PLATFORM: *//p')
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && grep -qvE '^i[3-6]86$' <<<"$platforms"; then
    echo emulated
else
    echo native
fi
