#!/bin/bash
# Runs a Windows program under Wine for CTest, in one prefix shared by the
# whole run (made on first use), with no window needed for console tests.
# Where the machine runs no 32-bit Linux programs at all, Wine's 32-bit
# loader cannot start: 64-bit programs then go through the 64-bit loader,
# and a 32-bit one exits 77, which CTest reports as skipped.
set -euo pipefail
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/wendrel-wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=wine
is_pe32() { [ -f "${1:-}" ] && file -b "$1" | grep -q '^PE32 '; }
# Where the kernel has no 32-bit support, scripts/enable-i386.sh has 32-bit
# programs emulated. That is far slower, and emulated Wine cannot drive the
# display driver: tests that need the real thing set WENDREL_NATIVE_ONLY.
if [ -n "${WENDREL_NATIVE_ONLY:-}" ] && [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && is_pe32 "${1:-}"; then
    echo "wine-run: 32-bit programs are emulated here; $1 skipped" >&2
    exit 77
fi
if [ -f "${1:-}" ] && file -b "$1" | grep -q '^PE32+' && [ -x /usr/lib/wine/wine64 ]; then
    # 64-bit programs go straight to the 64-bit loader, which is native.
    export WINELOADER=/usr/lib/wine/wine64
    wine=/usr/lib/wine/wine64
elif ! /usr/lib/wine/wine --version >/dev/null 2>&1 && is_pe32 "${1:-}"; then
    echo "wine-run: this machine cannot run 32-bit programs; $1 skipped" >&2
    exit 77
fi
# The prefix is made by the 64-bit loader where there is one: it serves
# both architectures, and it is native where 32-bit programs are emulated.
boot=$wine
[ -x /usr/lib/wine/wine64 ] && boot=/usr/lib/wine/wine64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    (
        flock 9
        [ -f "$WINEPREFIX/system.reg" ] || WINELOADER="$boot" "$boot" wineboot -i >/dev/null 2>&1 || true
    ) 9>"${WINEPREFIX}.lock"
fi
exec "$wine" "$@"
