#!/bin/bash
# Runs a Windows program under Wine for CTest, in the build tree's prefix
# (made before the tests by the fixture wendrel_wine_prefix; checked whole
# here, and made again when it is not), with no window needed for console
# tests.
# Exit status 77 tells CTest the test was skipped; the reason is the last
# line on stderr, which scripts/ctest-run.sh shows.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
program=${1:-}
skip() {
    echo "SKIPPED: $*" >&2
    exit 77
}
arch=$(wine_arch "$program")
# Tests that need 32-bit programs native (emulated ones cannot drive the
# display driver) set WENDREL_NATIVE_ONLY.
if reason=$(wine_cannot_run "$arch" ${WENDREL_NATIVE_ONLY:+native}); then
    skip "$reason: $program"
fi
# A test must not pass because DirectDraw failed for want of a library.
if [ -n "$arch" ] && ! missing=$("$here/wine-display-libs.sh" "$arch"); then
    echo "wine-run: Wine's display driver ($arch) lacks $missing; run scripts/install-deps.sh" >&2
    exit 1
fi
wine=wine
if [ "$arch" = x86_64 ]; then
    # 64-bit programs go straight to the 64-bit loader, which is native.
    wine=$(wine_loader_for "$program")
    [ "$wine" = wine ] || export WINELOADER=$wine
fi
wine_boot || { echo "wine-run: cannot make the Wine prefix $WINEPREFIX" >&2; exit 1; }
exec "$wine" "$@"
