#!/bin/bash
# Shared by the end-to-end scripts: runs Windows programs under Wine in the
# build tree's prefix and watches the saver from outside.
#
# The scripts get from CTest: WENDREL_SCR (the saver), WENDREL_E2E_TOOLS
# (our helper programs), WENDREL_HOST_BUILD (the Linux build with
# wendrel-frame-match), WENDREL_SOURCE_DIR.
set -euo pipefail
source "$WENDREL_SOURCE_DIR/tests/support/shell_lib.sh"
source "$WENDREL_SOURCE_DIR/scripts/wine-env.sh"

# CTest's code for a skipped test.
readonly kSkip=77

e2e_log() { echo "e2e: $*"; }

# A Unix path as the Windows programs see it.
e2e_winpath() {
    local path
    path=$(readlink -f "$1")
    echo "Z:${path//\//\\}"
}

# Sets LOADER, makes the prefix on first use and starts from a clean
# wineserver (it must not hold windows of another test's X server).
e2e_init() {
    LOADER=$(wine_loader_for "$WENDREL_SCR")
    local arch=x86_64 reason missing
    [ "$(wine_arch "$WENDREL_SCR")" = i386 ] && arch=i386
    # Where scripts/enable-i386.sh has 32-bit programs emulated, Wine is far
    # too slow for these runs and cannot drive the display driver.
    if reason=$(wine_cannot_run $arch native); then
        echo "e2e: SKIPPED: $reason"
        exit $kSkip
    fi
    # Without its X extension libraries Wine's display driver cannot switch
    # modes, and a run could pass on the fallback for the wrong reason.
    missing=$("$wine_env_scripts/wine-display-libs.sh" $arch) ||
        fail "Wine's display driver ($arch) lacks $missing; run scripts/install-deps.sh"
    # Screenshots are judged as whole frames, or two torn at one row; with
    # shared memory the server may show rows of many frames.
    # (Read whole first: grep -q would end xdpyinfo early, and pipefail
    # would turn that into "not offered".)
    local server_info
    server_info=$(xdpyinfo) || fail "cannot ask the X server $DISPLAY what it offers"
    [[ $server_info != *MIT-SHM* ]] || fail "the X server offers MIT-SHM (with-x-server.sh --no-shm)"
    wine_boot || fail "cannot make the Wine prefix $WINEPREFIX"
    # The loader must run a small program of ours before the saver is judged.
    if ! timeout 120 "$LOADER" "$WENDREL_E2E_TOOLS/wendrel-focus-taker.exe" 0 0 >/dev/null 2>&1; then
        wineserver -k 2>/dev/null || true
        fail "$LOADER cannot run $(file -b "$WENDREL_SCR" | cut -d' ' -f1) programs here"
    fi
    wine_stop_server
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/wendrel-e2e.XXXXXX")
    SAVER_PID=
    on_exit e2e_cleanup
}

# Registered first, so it runs last: what a script registers with on_exit
# (such as undoing its changes to the prefix) runs before the wineserver
# ends.
e2e_cleanup() {
    local status=$?
    [ -z "${SAVER_PID:-}" ] || kill "$SAVER_PID" 2>/dev/null || true
    wine_stop_server
    if [ $status -ne 0 ] && [ -n "${E2E_KEEP:-}" ]; then
        echo "e2e: work files kept in $WORK"
        return
    fi
    # A failure that comes by chance must be studied from what it saw: its
    # screenshots go to the build tree (never /tmp).
    if [ $status -ne 0 ] && [ -n "${WENDREL_E2E_FAILURES:-}" ] && compgen -G "$WORK/*.png" >/dev/null; then
        local keep
        keep="$WENDREL_E2E_FAILURES/$(basename "$0" .sh)-$(date +%Y%m%d-%H%M%S)-$$"
        mkdir -p "$keep" && cp "$WORK"/*.png "$keep/" && echo "e2e: screenshots kept in $keep"
    fi
    rm -rf "$WORK"
}

# Starts the saver with the given arguments; SAVER_PID is its process and
# SAVER_START the second it was started in.
e2e_start_saver() {
    SAVER_START=$(date +%s)
    "$LOADER" "$WENDREL_SCR" "$@" &
    SAVER_PID=$!
}

# e2e_wait_window SECONDS PID WHAT: prints the id of PID's visible window;
# fails with WHAT when none appears within SECONDS.
e2e_wait_window() { wait_until "$1" "$3" window_of "$2"; }

e2e_saver_running() { kill -0 "$SAVER_PID" 2>/dev/null; }
e2e_saver_ended() { ! e2e_saver_running; }

# e2e_wait_saver_end SECONDS WHAT: the saver ends within SECONDS (else fails
# with WHAT), with status 0.
e2e_wait_saver_end() {
    local status=0
    wait_until "$1" "$2" e2e_saver_ended
    wait "$SAVER_PID" || status=$?
    SAVER_PID=
    [ $status -eq 0 ] || fail "the saver ended with status $status"
}

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
    [ -z "$strays" ] || fail "saver processes left behind: $strays"
}

# A screenshot of the whole screen as PNG.
e2e_screenshot() {
    import -window root "png:$1"
}

# The Linux build's wendrel-frame-match, for the scripts that compare frames.
e2e_match=$WENDREL_HOST_BUILD/tests/support/wendrel-frame-match
e2e_need_frame_match() { [ -x "$e2e_match" ] || fail "no $e2e_match (build the linux preset first)"; }

# Wine's X11 driver hands a window's picture to the X server in bands of
# rows (Xlib sends at most 256 KiB a request), so a screenshot now and then
# falls between two bands and shows the upper rows of one frame over the
# lower rows of the one handed over before, a few ticks earlier;
# wendrel-frame-match --torn takes two frames of the run, a few ticks apart,
# split at one row.
# e2e_find_frame PNG [OPTION...]: wendrel-frame-match on PNG for the frames
# of this run, torn ones too, with OPTIONs such as --rect or --direct.
e2e_find_frame() {
    "$e2e_match" "$1" --seeds "$((SAVER_START - 1)):$(date +%s)" --max-ticks 3000 --torn "${@:2}"
}
# e2e_match_tick PNG [--direct]: prints the tick the screenshot shows, at
# the pace given (--direct, or the windowed one); fails when it shows no
# frame.
e2e_match_tick() {
    local out
    out=$(e2e_find_frame "$1" ${2:+"$2"}) || fail "screenshot does not show an engine frame: $out"
    echo "$out" >&2
    echo "$out" | sed -n 's/^match: seed [0-9]* tick \([0-9]*\) .*/\1/p'
}

# e2e_measure_rate [--direct]: frames presented per second, from two
# screenshots 4 seconds apart.
e2e_measure_rate() {
    local t1 t2 tick1 tick2
    t1=$(date +%s.%N)
    e2e_screenshot "$WORK/first.png"
    sleep 4
    t2=$(date +%s.%N)
    e2e_screenshot "$WORK/second.png"
    tick1=$(e2e_match_tick "$WORK/first.png" "${1:-}")
    tick2=$(e2e_match_tick "$WORK/second.png" "${1:-}")
    [ -n "$tick1" ] && [ -n "$tick2" ] && [ "$tick2" -gt "$tick1" ] ||
        fail "ticks $tick1 then $tick2 do not move on"
    awk -v n=$((tick2 - tick1)) -v a="$t1" -v b="$t2" 'BEGIN { printf "%.1f", n / (b - a) }'
}

# The saver's settings key in Wine's registry.
e2e_settings_key='HKCU\Software\Tavrin Screen Savers\wendrel\LEAF'

# Stores the setting NoDirect as $1, or removes it for "none".
e2e_set_no_direct() {
    if [ "$1" = none ]; then
        "$LOADER" reg delete "$e2e_settings_key" /v NoDirect /f >/dev/null 2>&1 || true
    else
        "$LOADER" reg add "$e2e_settings_key" /v NoDirect /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
            fail "cannot store NoDirect $1"
    fi
}
