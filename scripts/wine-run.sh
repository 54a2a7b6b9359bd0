#!/bin/bash
# Runs a Windows program under Wine for CTest, in one prefix shared by the
# whole run (made on first use), with no window needed for console tests.
# Exit status 77 tells CTest the test was skipped; the reason is the last
# line on stderr, which scripts/ctest-run.sh shows.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/wendrel-wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=wine
program=${1:-}
is_pe32() { [ -f "$program" ] && file -b "$program" | grep -q '^PE32 '; }
is_pe32plus() { [ -f "$program" ] && file -b "$program" | grep -q '^PE32+'; }
skip() {
    echo "SKIPPED: $*" >&2
    exit 77
}
arch=
is_pe32 && arch=i386
is_pe32plus && arch=x86_64
if [ "$arch" = i386 ]; then
    case $("$here/i386-mode.sh") in
    none) skip "this machine cannot run 32-bit programs, not even emulated: $program" ;;
    emulated)
        # Emulated 32-bit Wine is far slower and cannot drive the display
        # driver: tests that need the real thing set WENDREL_NATIVE_ONLY.
        [ -z "${WENDREL_NATIVE_ONLY:-}" ] ||
            skip "32-bit programs are emulated (qemu-i386) on this machine: $program needs them native" ;;
    esac
fi
# A test must not pass because DirectDraw failed for want of a library.
if [ -n "$arch" ] && ! missing=$("$here/wine-display-libs.sh" "$arch"); then
    echo "wine-run: Wine's display driver ($arch) lacks $missing; run scripts/install-deps.sh" >&2
    exit 1
fi
if [ "$arch" = x86_64 ] && [ -x /usr/lib/wine/wine64 ]; then
    # 64-bit programs go straight to the 64-bit loader, which is native.
    export WINELOADER=/usr/lib/wine/wine64
    wine=/usr/lib/wine/wine64
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
