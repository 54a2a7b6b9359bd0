# shellcheck shell=bash
# Sourced (bash) by whatever runs our Windows programs under Wine. Exports
# WINEPREFIX (kept when set, as CTest sets it to the build tree's own;
# default build/wineprefix of this clone, never one shared through /tmp),
# WINEDEBUG (default -all) and WINEDLLOVERRIDES (default: no Mono, no Gecko),
# and gives:
#   wine_arch PROGRAM         i386 or x86_64 for a PE32 or PE32+ file, else nothing
#   wine_loader_for PROGRAM   the loader to run it with: each architecture's
#                             own where it is installed, else wine (which picks)
#   wine_cannot_run ARCH [native]
#                             true, printing why, when this machine cannot run
#                             ARCH programs (with native: not natively either),
#                             or has no Wine for them
#   wine_prefix_whole         true when the prefix was made to the end and has
#                             the DLLs of every architecture Wine runs here
#   wine_boot                 makes the prefix unless it is whole, under a lock,
#                             with the 64-bit loader where there is one (it
#                             serves both architectures and is native where
#                             32-bit programs are emulated); a prefix that is
#                             not whole is removed and made again; false when
#                             that fails
#   wine_stop_server [SECONDS]
#                             ends the prefix's wineserver and waits for it
#                             (at most SECONDS when given)
#   wine_remove_server_dir    removes the folder the ended wineserver leaves
#                             in $TMPDIR (call it once nothing uses the prefix)

[ -z "${wine_env_loaded:-}" ] || return 0
wine_env_loaded=1
wine_env_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_env_wine64=/usr/lib/wine/wine64
wine_env_wine32=/usr/lib/wine/wine

export WINEPREFIX="${WINEPREFIX:-$(dirname "$wine_env_scripts")/build/wineprefix}"
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
        if [ "${2:-}" = native ]; then
            echo "32-bit programs are emulated (qemu-i386) on this machine"
        else
            wine_lacks_32_bit
        fi ;;
    *) wine_lacks_32_bit ;;
    esac
}

# True, printing why, when 32-bit Wine is not installed (scripts/install-deps.sh
# leaves it out when its packages cannot be had, and says why).
wine_lacks_32_bit() {
    [ ! -x "$wine_env_wine32" ] || return 1
    echo "32-bit Wine is not installed (wine32:i386; scripts/install-deps.sh says why)"
}

# wine_boot's marks: a prefix it began, and one it finished (wineboot and
# the wineserver ended).
wine_env_ours=.wendrel-prefix
wine_env_made=.wendrel-prefix-made

wine_prefix_whole() {
    local windows=$WINEPREFIX/drive_c/windows
    [ -f "$WINEPREFIX/$wine_env_made" ] && [ -f "$WINEPREFIX/system.reg" ] &&
        [ -f "$WINEPREFIX/user.reg" ] && [ -f "$windows/system32/kernel32.dll" ] || return 1
    # A prefix made while 32-bit Wine was missing has an empty syswow64, and
    # every 32-bit program then fails to load kernel32.dll.
    wine_cannot_run i386 >/dev/null || [ -f "$windows/syswow64/kernel32.dll" ]
}

wine_boot() {
    local boot=wine
    [ -x "$wine_env_wine64" ] && boot=$wine_env_wine64
    wine_prefix_whole && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        wine_prefix_whole && exit 0
        if [ -e "$WINEPREFIX" ]; then
            # Someone else's prefix is never removed.
            [ -f "$WINEPREFIX/$wine_env_ours" ] || {
                echo "wine-env: the Wine prefix $WINEPREFIX is not whole and not ours to make again" >&2
                exit 1
            }
            echo "wine-env: the Wine prefix $WINEPREFIX is not whole; making it again" >&2
            wineserver -k 2>/dev/null || true
            rm -rf "$WINEPREFIX"
        fi
        mkdir "$WINEPREFIX" && touch "$WINEPREFIX/$wine_env_ours" &&
            WINELOADER="$boot" "$boot" wineboot -i >/dev/null 2>&1 && wineserver -w &&
            touch "$WINEPREFIX/$wine_env_made" && wine_prefix_whole
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

# Wine keeps its server's socket and lock in a folder of its own in $TMPDIR,
# wine-XXXXXX/server-DEV-INODE (named after the prefix), and leaves it behind
# when the server ends.
wine_remove_server_dir() {
    local dev ino dir
    read -r dev ino < <(stat -c '%d %i' "$WINEPREFIX" 2>/dev/null) || return 0
    for dir in "${TMPDIR:-/tmp}"/wine-*/"server-$(printf %x "$dev")-$(printf %x "$ino")"; do
        [ -d "$dir" ] || continue
        rm -rf "$dir"
        rmdir "$(dirname "$dir")" 2>/dev/null || true
    done
}
