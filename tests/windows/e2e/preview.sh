#!/bin/bash
# Preview mode: our stand-in for the settings panel opens a window and starts
# the saver with its handle. The saver fills the window's client area with a
# child window, ignores keys and clicks, and ends within a second once the
# window is destroyed. A missing, non-numeric or dead handle ends it at once
# with no window.
source "$(dirname "$0")/e2e_lib.sh"
e2e_init
host=$WENDREL_E2E_TOOLS/wendrel-preview-host.exe
scr=$(e2e_winpath "$WENDREL_SCR")

# True once the saver has ended; fails when it shows a window.
ended_without_window() {
    ! xdotool search --onlyvisible --pid "$SAVER_PID" >/dev/null 2>&1 || fail "'$1' made a window"
    ! e2e_saver_running
}

# 1. A bad second argument: the saver ends on its own, with no window.
for args in "/p" "/p not-a-handle" "/p 12x" "/p 99999999"; do
    # shellcheck disable=SC2086
    e2e_start_saver $args
    wait_until 11 "'$args' did not end by itself" ended_without_window "$args"
    e2e_wait_saver_end 0 "'$args' did not end by itself"
    e2e_log "'$args' ended at once"
done
e2e_expect_no_strays

# 2. A real parent, held for 8 seconds.
"$LOADER" "$host" "$scr" 8000 320 240 >"$WORK/host.out" 2>&1 &
host_pid=$!
host_reported() { grep -q '^client ' "$WORK/host.out" || ! kill -0 $host_pid 2>/dev/null; }
wait_until 30 "the host did not start within 30 s: $WORK/host.out" host_reported
read -r _ x y w h < <(tr -d '\r' <"$WORK/host.out" | grep '^client ') ||
    fail "the host did not start: $(cat "$WORK/host.out")"
host_window=$(e2e_wait_window 10 $host_pid "no host window")
sleep 3
# Keys and clicks over the preview change nothing: the host checks that the
# saver still runs when its time is up.
xdotool windowfocus "$host_window"
xdotool mousemove $((x + w / 2)) $((y + h / 2))
xdotool click 1
xdotool click 3
xdotool key a Escape
xdotool mousemove $((x + 10)) $((y + 10))
status=0
wait $host_pid || status=$?
tr -d '\r' <"$WORK/host.out" >"$WORK/host.txt"
cat "$WORK/host.txt"
grep -qx "child saver 0 0 $w $h" "$WORK/host.txt" ||
    fail "the saver's child window does not fill the client area"
[ $status -eq 0 ] || fail "the preview did not run until its window went, or did not end within a second"
sleep 0.5
e2e_expect_no_strays
e2e_log "the preview ended $(sed -n 's/.*ended-after-ms \([0-9]*\).*/\1/p' "$WORK/host.txt") ms after its window"
