#!/bin/bash
# Makes the Wine prefix $WINEPREFIX ready for the tests: checked whole, and
# made (again) when it is not. CTest runs it before any test under Wine (the
# fixture wine_prefix), so that no test's time limit pays for wineboot.
# With --end (after the last of them) it ends the prefix's wineserver and
# removes the folder Wine leaves for it in $TMPDIR.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
if [ "${1:-}" = --end ]; then
    wine_stop_server 30
    wine_remove_server_dir
    exit 0
fi
if ! wine_boot; then
    echo "wine-prefix: could not make the Wine prefix $WINEPREFIX" >&2
    exit 1
fi
wine_stop_server 30
echo "wine-prefix: $WINEPREFIX is whole$(reason=$(wine_cannot_run i386) && echo " (64-bit only: $reason)")"
