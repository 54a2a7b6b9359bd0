#!/bin/bash
# Makes sure this machine can run 32-bit x86 Linux programs, which the
# 32-bit Wine loader is. Some kernels are built without 32-bit support;
# there, user-mode emulation (qemu-i386 through binfmt_misc) runs them.
# Needs root. Does nothing where 32-bit programs already run. Where
# emulation cannot be set up either, it says so and the 32-bit tests are
# skipped (scripts/wine-run.sh). With --check it only tells: exit 0 when
# there is nothing to do, 1 when there is.
set -euo pipefail
loader=/lib/ld-linux.so.2
[ -e "$loader" ] || exit 0
"$loader" --version >/dev/null 2>&1 && exit 0
[ "${1:-}" != --check ] || exit 1

echo "enable-i386: this kernel runs no 32-bit programs; using qemu-i386 emulation"
if ! command -v qemu-i386 >/dev/null; then
    apt-get -o DPkg::Lock::Timeout=600 update -q || true
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q \
        --no-install-recommends qemu-user || true
fi
command -v qemu-i386 >/dev/null || {
    echo "enable-i386: no qemu-i386; the 32-bit tests will be skipped" >&2
    exit 0
}
binfmt=/proc/sys/fs/binfmt_misc
[ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" || true
if [ -e "$binfmt/register" ] && [ ! -e "$binfmt/qemu-i386" ]; then
    # ELF, 32-bit, little-endian, executable or shared object, machine i386.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:$(command -v qemu-i386):F" >"$binfmt/register" || true
fi
"$loader" --version >/dev/null 2>&1 ||
    echo "enable-i386: 32-bit programs still do not run; their tests will be skipped" >&2
