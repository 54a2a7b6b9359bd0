#!/bin/bash
# Runs a Windows program under Wine for CTest, in one prefix shared by the
# whole run (made on first use), with no window needed for console tests.
set -euo pipefail
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/wendrel-wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    (
        flock 9
        [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1 || true
    ) 9>"${WINEPREFIX}.lock"
fi
exec wine "$@"
