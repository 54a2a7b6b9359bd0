#!/bin/bash
# mate_screensaver.sh LINUX_BUILD [UNPACKED]: MATE's saver daemon,
# mate-screensaver, lists Wendrel through its desktop entry
# (/usr/share/applications/screensavers/wendrel.desktop) and runs it. Run on
# an X server with two monitors (with-x-server.sh dummy --second ...), as
# root; deb.sh runs it while the package is installed. With UNPACKED (a
# tree that dpkg-deb -x made) the package's files are laid over the system's
# in this test's own mount namespace instead, and the system is untouched.
#
# In a D-Bus session of its own, with Wendrel picked as the one saver: the
# preferences dialog previews it (so it is listed), and the copy ends with
# the dialog; `mate-screensaver-command --activate` starts one copy per
# monitor, in the daemon's trimmed environment (no XDG_CONFIG_HOME, no
# XDG_RUNTIME_DIR); each shows an engine frame of a seed of its own, and
# --deactivate ends them all. The test runs with a /tmp of its own, so
# that it can tell that nothing of the daemon, the bus or the copies is
# left running or in /tmp.
# LINUX_BUILD has wendrel-frame-match.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/shell_lib.sh"
hack=/usr/libexec/xscreensaver/wendrel

case ${1:-} in
--session) ;;  # below
--private)
    # In a mount namespace of our own: the package laid over the system's
    # files when asked, and an empty /tmp. X clients reach the server
    # through its abstract socket, which that does not hide.
    build=$2 unpacked=${3:-}
    if [ -n "$unpacked" ]; then
        mount -t overlay wendrel-libexec -o "lowerdir=$unpacked/usr/libexec:/usr/libexec" /usr/libexec
        mount --bind "$unpacked/usr/share/applications/screensavers" /usr/share/applications/screensavers
    fi
    [ -x "$hack" ] && [ -f /usr/share/applications/screensavers/wendrel.desktop ] ||
        fail "Wendrel is not installed (no $hack and its desktop entry)"
    mount -t tmpfs -o mode=1777,size=64m wendrel-tmp /tmp
    work=$(mktemp -d /tmp/wendrel-mate.XXXXXX)
    # A home of our own for the daemon's settings (dconf) and Wendrel's,
    # also for what the bus starts; no accessibility bus.
    export HOME=$work/home NO_AT_BRIDGE=1
    unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR XSCREENSAVER_WINDOW
    mkdir "$HOME"
    dbus-run-session -- "$0" --session "$work" "$build"
    # The session's bus has ended, and with it what it started: nothing
    # that shares this namespace may still run, nor anything be left in
    # its /tmp.
    mine=$(readlink /proc/self/ns/mnt)
    others() {
        local p
        for p in /proc/[0-9]*; do
            [ "${p#/proc/}" != $$ ] && [ "${p#/proc/}" != "$BASHPID" ] &&
                [ "$(readlink "$p/ns/mnt" 2>/dev/null)" = "$mine" ] && echo "${p#/proc/}"
        done
        return 0
    }
    alone() { [ -z "$(others)" ]; }
    poll_until 10 alone || fail "left running: $(for p in $(others); do tr '\0' ' ' <"/proc/$p/cmdline"; echo; done)"
    rm -rf "$work"
    left=$(ls -A /tmp)
    [ -z "$left" ] || fail "left in /tmp: $left"
    echo "passed: mate-screensaver"
    exit 0
    ;;
*)
    if [ "$(id -u)" != 0 ] || ! unshare --mount true 2>/dev/null; then
        echo "mate_screensaver: SKIPPED: no mount namespace of our own can be made here"
        exit 77
    fi
    [ -n "${DISPLAY:-}" ] || fail "no DISPLAY (run it under with-x-server.sh)"
    build=$(readlink -f "$1")
    [ -x "$build/tests/support/wendrel-frame-match" ] || fail "no wendrel-frame-match in $build"
    exec unshare --mount --propagation private "$0" --private "$build" ${2:+"$(readlink -f "$2")"}
    ;;
esac

# Inside the D-Bus session: the preferences dialog, the daemon, their
# copies of Wendrel and the checks.
work=$2
frame_match=$3/tests/support/wendrel-frame-match
preferences=
daemon=
copies=()
cleanup() {
    local status=$? pid log
    stop_process "$preferences"
    stop_process "$daemon"
    for pid in "${copies[@]}"; do stop_process "$pid"; done
    if [ "$status" != 0 ]; then
        for log in "$work"/preferences.log "$work"/daemon.log; do
            [ ! -s "$log" ] || { echo "$(basename "$log" .log) said:"; cat "$log"; } >&2
        done
    fi
}
on_exit cleanup

# copies_of PID: PID's children that run the package's program.
copies_of() {
    local pid
    for pid in $(pgrep -P "$1" || true); do
        [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" != "$hack" ] || echo "$pid"
    done
}
# started_copies PID N: PID runs at least N copies; they are in $copies.
started_copies() {
    kill -0 "$1" 2>/dev/null || fail "process $1 ($(cat "/proc/$1/comm" 2>/dev/null)) ended"
    mapfile -t copies < <(copies_of "$1")
    [ "${#copies[@]}" -ge "$2" ]
}
# shows PNG RECT PID: the part RECT of the screenshot is a frame of copy
# PID's seed (the second it started in, mixed with its process id), with
# leaves in view (a frame with hardly a leaf would fit any seed).
# Status 1: no such frame, 2: too few leaves to tell.
shows() {
    local last leaves
    last=$(date +%s)
    "$frame_match" "$1" --rect "$2" --seeds "$first:$last" --pid "$3" \
        --max-ticks $(((last - first + 1) * 100)) >"$work/match" 2>&1 || return 1
    leaves=$(sed -n 's/.* of the \([0-9]*\) the background does not$/\1/p' "$work/match")
    [ "${leaves:-0}" -ge 50 ] || return 2
    echo "mate_screensaver: $2 shows copy $3: $(tail -1 "$work/match")"
}
gone() { ! kill -0 "$1" 2>/dev/null; }

gsettings set org.mate.screensaver mode single
gsettings set org.mate.screensaver themes "['screensavers-wendrel']"
gsettings set org.mate.screensaver lock-enabled false

# 1. Listed: the preferences dialog shows Wendrel, picked, in its preview.
first=$(date +%s)
mate-screensaver-preferences >"$work/preferences.log" 2>&1 &
preferences=$!
wait_until 15 "the preferences dialog shows no preview of Wendrel" started_copies "$preferences" 1
[ "${#copies[@]}" = 1 ] || fail "the preferences dialog runs ${#copies[@]} copies"
preview=$(tr '\0' '\n' <"/proc/${copies[0]}/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
[ -n "$preview" ] || fail "the preview copy has no XSCREENSAVER_WINDOW"
eval "$(xwininfo -id "$preview" | awk '/Width:/ { print "w=" $2 } /Height:/ { print "h=" $2 }')"
preview_shown() {
    import -window "$preview" "$work/preview.png"
    shows "$work/preview.png" "0,0,$w,$h" "${copies[0]}"
}
sleep 1  # a few leaves in view
wait_until 10 "the preview does not show Wendrel's frames" preview_shown
# Closing the dialog takes the preview window, and with it the copy.
stop_process "$preferences"
preferences=
wait_until 3 "the preview copy still runs 3 s after the dialog ended" gone "${copies[0]}"
copies=()

# 2. Run by the daemon: one copy per monitor.
mate-screensaver --no-daemon >"$work/daemon.log" 2>&1 &
daemon=$!
answers() {
    kill -0 "$daemon" 2>/dev/null || fail "mate-screensaver ended: $(cat "$work/daemon.log")"
    mate-screensaver-command --query >/dev/null 2>&1
}
wait_until 15 "mate-screensaver does not answer" answers
mapfile -t monitors < <(xrandr --listactivemonitors |
    sed -n 's|^ *[0-9]*: +\*\?[^ ]* \([0-9]*\)/[0-9]*x\([0-9]*\)/[0-9]*+\([0-9]*\)+\([0-9]*\) .*|\1,\2,\3,\4|p' |
    awk -F, '{ print $3 "," $4 "," $1 "," $2 }')
monitor_count=${#monitors[@]}
[ "$monitor_count" = 2 ] || fail "$monitor_count monitors, not 2"
first=$(date +%s)
mate-screensaver-command --activate >/dev/null
wait_until 15 "mate-screensaver started no copy of Wendrel per monitor" \
    started_copies "$daemon" "$monitor_count"
[ "${#copies[@]}" = "$monitor_count" ] || fail "${#copies[@]} copies for $monitor_count monitors"
for pid in "${copies[@]}"; do
    [ "$(tr '\0' ' ' <"/proc/$pid/cmdline")" = "$hack --root " ] ||
        fail "a copy runs as: $(tr '\0' ' ' <"/proc/$pid/cmdline")"
    # The daemon's trimmed environment.
    environment=$(tr '\0' '\n' <"/proc/$pid/environ")
    grep -q '^XSCREENSAVER_WINDOW=' <<<"$environment" || fail "a copy has no XSCREENSAVER_WINDOW"
    ! grep -Eq '^XDG_(CONFIG_HOME|RUNTIME_DIR)=' <<<"$environment" ||
        fail "the daemon passed XDG_CONFIG_HOME or XDG_RUNTIME_DIR after all"
done

# Each monitor shows a frame of exactly one copy, each of another copy.
# A screenshot taken too early (a loaded machine) is taken again, for up
# to 10 s.
monitors_shown() {
    local rect pid by status
    shown_by=()
    import -window root "$work/shot.png"
    for rect in "${monitors[@]}"; do
        by=()
        for pid in "${copies[@]}"; do
            status=0
            shows "$work/shot.png" "$rect" "$pid" || status=$?
            case $status in
            0) by+=("$pid") ;;
            2) return 1 ;;
            esac
        done
        [ "${#by[@]}" -le 1 ] || fail "the monitor at $rect shows a frame of several copies"
        shown_by+=("${by[@]}")
    done
    [ "${#shown_by[@]}" = "$monitor_count" ]
}
sleep 1
wait_until 10 "the monitors do not show Wendrel's frames" monitors_shown
[ "${shown_by[0]}" != "${shown_by[1]}" ] || fail "both monitors show the same copy's frames"
for pid in "${copies[@]}"; do
    [ "$(ls "/proc/$pid/task" | wc -l)" = 2 ] || fail "copy $pid runs $(ls "/proc/$pid/task" | wc -l) threads"
done

# 3. --deactivate ends every copy, and the daemon stays.
mate-screensaver-command --deactivate >/dev/null
for pid in "${copies[@]}"; do
    wait_until 5 "copy $pid still runs 5 s after --deactivate" gone "$pid"
done
copies=()
[ -z "$(pgrep -P "$daemon" || true)" ] || fail "the daemon still has children: $(pgrep -a -P "$daemon")"
kill -0 "$daemon" 2>/dev/null || fail "mate-screensaver ended: $(cat "$work/daemon.log")"
stop_process "$daemon"
daemon=
