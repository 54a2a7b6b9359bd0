#!/bin/bash
# Shared by the end-to-end scripts: runs Windows programs under Wine in the
# run's one prefix and watches the saver from outside.
#
# The scripts get from CTest: WENDREL_SCR (the saver), WENDREL_E2E_TOOLS
# (our helper programs), WENDREL_HOST_BUILD (the Linux build with
# wendrel-frame-match), WENDREL_SOURCE_DIR.
set -euo pipefail

export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/wendrel-wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# CTest's code for a skipped test.
readonly kSkip=77

e2e_log() { echo "e2e: $*"; }
e2e_fail() {
    echo "e2e: FAILED: $*" >&2
    exit 1
}

# The Wine loader for a program: PE32+ needs the 64-bit one.
e2e_loader_for() {
    case "$(file -b "$1")" in
    PE32+*) if [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64; else echo wine64; fi ;;
    *) echo wine ;;
    esac
}

# A Unix path as the Windows programs see it.
e2e_winpath() {
    local path
    path=$(readlink -f "$1")
    echo "Z:${path//\//\\}"
}

# Sets LOADER, makes the prefix on first use and starts from a clean
# wineserver (it must not hold windows of another test's X server).
e2e_init() {
    LOADER=$(e2e_loader_for "$WENDREL_SCR")
    local scripts=$WENDREL_SOURCE_DIR/scripts arch=x86_64
    file -b "$WENDREL_SCR" | grep -q '^PE32 ' && arch=i386
    # Where scripts/enable-i386.sh has 32-bit programs emulated, Wine is far
    # too slow for these runs and cannot drive the display driver.
    if [ $arch = i386 ]; then
        case $("$scripts/i386-mode.sh") in
        emulated) echo "e2e: SKIPPED: 32-bit programs are emulated (qemu-i386) on this machine"; exit $kSkip ;;
        none) echo "e2e: SKIPPED: this machine cannot run 32-bit programs"; exit $kSkip ;;
        esac
    fi
    # Without its X extension libraries Wine's display driver cannot switch
    # modes, and a run could pass on the fallback for the wrong reason.
    local missing
    missing=$("$scripts/wine-display-libs.sh" $arch) ||
        e2e_fail "Wine's display driver ($arch) lacks $missing; run scripts/install-deps.sh"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        (
            flock 9
            [ -f "$WINEPREFIX/system.reg" ] || "$LOADER" wineboot -i >/dev/null 2>&1 || true
        ) 9>"${WINEPREFIX}.lock"
    fi
    # The loader must run a small program of ours before the saver is judged.
    if ! timeout 120 "$LOADER" "$WENDREL_E2E_TOOLS/wendrel-focus-taker.exe" 0 0 >/dev/null 2>&1; then
        wineserver -k 2>/dev/null || true
        e2e_fail "$LOADER cannot run $(file -b "$WENDREL_SCR" | cut -d' ' -f1) programs here"
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/wendrel-e2e.XXXXXX")
    SAVER_PID=
    trap e2e_cleanup EXIT
}

# A script may name in E2E_ON_EXIT a function that undoes its changes to
# the prefix; it runs at the end, also after a failure.
e2e_cleanup() {
    local status=$?
    [ -z "${E2E_ON_EXIT:-}" ] || "$E2E_ON_EXIT" || true
    if [ -n "${SAVER_PID:-}" ] && kill -0 "$SAVER_PID" 2>/dev/null; then
        kill "$SAVER_PID" 2>/dev/null || true
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [ $status -ne 0 ] && [ -n "${E2E_KEEP:-}" ]; then
        echo "e2e: work files kept in $WORK"
    else
        rm -rf "$WORK"
    fi
    exit $status
}

# Starts the saver with the given arguments; SAVER_PID is its process and
# SAVER_START the second it was started in.
e2e_start_saver() {
    SAVER_START=$(date +%s)
    "$LOADER" "$WENDREL_SCR" "$@" &
    SAVER_PID=$!
}

# Waits up to $1 seconds for a visible X window of process $2; prints its id.
e2e_wait_window() {
    local seconds=$1 pid=$2 id
    for _ in $(seq 1 $((seconds * 10))); do
        id=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Waits up to $1 seconds for the saver to end; true when it did with status 0.
e2e_wait_saver_end() {
    local seconds=$1 status=0
    for _ in $(seq 1 $((seconds * 10))); do
        kill -0 "$SAVER_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$SAVER_PID" 2>/dev/null && return 1
    wait "$SAVER_PID" || status=$?
    SAVER_PID=
    [ $status -eq 0 ] || e2e_fail "the saver ended with status $status"
}

e2e_saver_running() { kill -0 "$SAVER_PID" 2>/dev/null; }

# Processes of this prefix whose command line names program $1.
e2e_processes_of() {
    local pid
    for pid in $(pgrep -f "$1" || true); do
        if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"
        fi
    done
}

e2e_expect_no_strays() {
    local strays
    strays=$(e2e_processes_of 'wendrel\.scr')
    [ -z "$strays" ] || e2e_fail "saver processes left behind: $strays"
}

# A screenshot of the whole screen as PNG.
e2e_screenshot() {
    import -window root "png:$1"
}

# The saver's settings key in Wine's registry.
e2e_settings_key='HKCU\Software\Tavrin Screen Savers\wendrel\LEAF'

# Stores the setting NoDirect as $1, or removes it for "none".
e2e_set_no_direct() {
    if [ "$1" = none ]; then
        "$LOADER" reg delete "$e2e_settings_key" /v NoDirect /f >/dev/null 2>&1 || true
    else
        "$LOADER" reg add "$e2e_settings_key" /v NoDirect /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
            e2e_fail "cannot store NoDirect $1"
    fi
}
