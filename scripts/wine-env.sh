# shellcheck shell=bash
# Sourced (bash) by whatever runs our Windows programs under Wine. Exports
# WINEPREFIX (kept when set; default one prefix shared by the whole run),
# WINEDEBUG (default -all) and WINEDLLOVERRIDES (default: no Mono, no Gecko),
# and gives:
#   wine_arch PROGRAM         i386 or x86_64 for a PE32 or PE32+ file, else nothing
#   wine_loader_for PROGRAM   the loader to run it with: each architecture's
#                             own where it is installed, else wine (which picks)
#   wine_cannot_run ARCH [native]
#                             true, printing why, when this machine cannot run
#                             ARCH programs (with native: not natively either)
#   wine_boot                 makes the prefix once, under a lock, with the
#                             64-bit loader where there is one (it serves both
#                             architectures and is native where 32-bit
#                             programs are emulated); false when wineboot failed
#   wine_stop_server [SECONDS]
#                             ends the prefix's wineserver and waits for it
#                             (at most SECONDS when given)

[ -z "${wine_env_loaded:-}" ] || return 0
wine_env_loaded=1
wine_env_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_env_wine64=/usr/lib/wine/wine64
wine_env_wine32=/usr/lib/wine/wine

export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/wendrel-wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

wine_arch() {
    [ -f "$1" ] || return 0
    case "$(file -b "$1")" in
    PE32+*) echo x86_64 ;;
    PE32\ *) echo i386 ;;
    esac
}

wine_loader_for() {
    local loader=wine
    case $(wine_arch "$1") in
    x86_64) [ ! -x "$wine_env_wine64" ] || loader=$wine_env_wine64 ;;
    i386) [ ! -x "$wine_env_wine32" ] || loader=$wine_env_wine32 ;;
    esac
    echo "$loader"
}

wine_cannot_run() {
    [ "$1" = i386 ] || return 1
    case $("$wine_env_scripts/i386-mode.sh") in
    none) echo "this machine cannot run 32-bit programs, not even emulated" ;;
    emulated)
        # Emulated 32-bit Wine is far slower and cannot drive the display driver.
        [ "${2:-}" = native ] || return 1
        echo "32-bit programs are emulated (qemu-i386) on this machine" ;;
    *) return 1 ;;
    esac
}

wine_boot() {
    local boot=wine
    [ -x "$wine_env_wine64" ] && boot=$wine_env_wine64
    [ ! -f "$WINEPREFIX/system.reg" ] || return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        [ -f "$WINEPREFIX/system.reg" ] || WINELOADER="$boot" "$boot" wineboot -i >/dev/null 2>&1
    ) 9>"${WINEPREFIX}.lock"
}

wine_stop_server() {
    wineserver -k 2>/dev/null || true
    if [ -n "${1:-}" ]; then
        timeout "$1" wineserver -w 2>/dev/null || true
    else
        wineserver -w 2>/dev/null || true
    fi
}
