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

# 1. A bad second argument: the saver ends on its own, with no window.
for args in "/p" "/p not-a-handle" "/p 12x" "/p 99999999"; do
    # shellcheck disable=SC2086
    e2e_start_saver $args
    for _ in $(seq 1 100); do
        e2e_saver_running || break
        if xdotool search --onlyvisible --pid "$SAVER_PID" >/dev/null 2>&1; then
            e2e_fail "'$args' made a window"
        fi
        sleep 0.1
    done
    e2e_wait_saver_end 1 || e2e_fail "'$args' did not end by itself"
    e2e_log "'$args' ended at once"
done
e2e_expect_no_strays

# 2. A real parent, held for 8 seconds.
"$LOADER" "$host" "$scr" 8000 320 240 >"$WORK/host.out" 2>&1 &
host_pid=$!
for _ in $(seq 1 300); do
    grep -q '^client ' "$WORK/host.out" && break
    kill -0 $host_pid 2>/dev/null || break
    sleep 0.1
done
read -r _ x y w h < <(tr -d '\r' <"$WORK/host.out" | grep '^client ') ||
    e2e_fail "the host did not start: $(cat "$WORK/host.out")"
host_window=$(e2e_wait_window 10 $host_pid) || e2e_fail "no host window"
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
    e2e_fail "the saver's child window does not fill the client area"
[ $status -eq 0 ] || e2e_fail "the preview did not run until its window went, or did not end within a second"
sleep 0.5
e2e_expect_no_strays
e2e_log "the preview ended $(sed -n 's/.*ended-after-ms \([0-9]*\).*/\1/p' "$WORK/host.txt") ms after its window"
