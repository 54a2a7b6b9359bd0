#!/bin/bash
# wayland.sh CASE: `wendrel s` and `wendrel --background` on Wayland
# compositors (sway 1.7 headless, weston 10 headless), run as an
# unprivileged user with a runtime directory of its own (sway refuses root).
#   one         s on one output shows the frame; a second saver gives way;
#               a key ends it
#   two         s on two outputs: both show the frame, a white window on the
#               second is hidden, no cursor is drawn where the pointer is on
#               the saver; a pointer movement within the threshold on the
#               second output keeps it, one beyond ends it
#   hotplug     an output added while s runs is covered within a second;
#               SIGINT ends it
#   unplug      an output removed (nested sway) loses its surface; s goes on
#               on the other; SIGTERM ends it
#   background  --background under a floating white window, on two outputs;
#               SIGTERM ends it
#   killed      the compositor killed under s: exit 1, one line, within 1 s
#   weston      s on weston (no layer-shell): a full-screen toplevel showing
#               the frame; --background refused there with one line
#   idle        the swayidle recipe starts s; a later timeout still fires;
#               a key ends it
#   bad         no compositor and no X display, $WAYLAND_DISPLAY naming
#               nothing: one line, exit 1
#   no-viewporter  s on two outputs of a compositor without wp_viewporter
#               (hidden by wendrel-wl-filter): the frame, stretched by the
#               saver, on both; a key ends it
#   focus       s as full-screen toplevels (layer-shell hidden), a keyboard
#               in the seat: the focus passing between our surfaces keeps
#               it, going to another client's window ends it
#   protocol-error  a request the compositor refuses, sent for the saver by
#               the filter: exit 1, one line naming the error, within 1 s
# WENDREL, WL_POINTER, WL_FILTER, TEST_WINDOW and FRAME_MATCH name the
# programs.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK WENDREL_BACKEND
case_name=$1

# What the compositor and its clients run must be readable by their user,
# wherever the build lives.
chmod 755 "$work"
mkdir "$work/bin"
cp "$WENDREL" "$WL_POINTER" "$WL_FILTER" "$TEST_WINDOW" "$work/bin/"
# A sanitizer's suppressions too (a sanitizer that cannot read them stops).
if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]*) ]]; then
    cp "${BASH_REMATCH[1]}" "$work/bin/lsan.supp"
    LSAN_OPTIONS=${LSAN_OPTIONS/suppressions=${BASH_REMATCH[1]}/suppressions=$work/bin/lsan.supp}
fi
chmod 755 "$work/bin" "$work/bin/"*
wendrel=$work/bin/$(basename "$WENDREL")
pointer=$work/bin/$(basename "$WL_POINTER")
wl_filter=$work/bin/$(basename "$WL_FILTER")
test_window=$work/bin/$(basename "$TEST_WINDOW")
export XDG_RUNTIME_DIR=$work/runtime HOME=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# "${user[@]}" COMMAND runs COMMAND as that user, in this process (so that
# $! of a background one is the command's own).
user=()
if [ "$(id -u)" = 0 ]; then
    chown nobody:nogroup "$XDG_RUNTIME_DIR"
    user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
as_user() { "${user[@]}" "$@"; }
rt=$XDG_RUNTIME_DIR
export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
compositor=
nested=
filter=
keyboard=
held=
stop_compositors() {
    stop_process "$saver"
    saver=
    stop_process "$held"
    stop_process "$keyboard"
    stop_process "$filter"
    stop_process "$nested"
    stop_process "$compositor"
    remove_stale_xwayland
}
# sway's Xwayland, ended with it, leaves its lock and socket in /tmp: once
# the server named in a lock of the compositor's user is gone, both go.
remove_stale_xwayland() {
    local lock pid n tries owner
    owner=$(as_user id -un)
    for lock in /tmp/.X*-lock; do
        [ "$(stat -c %U "$lock" 2>/dev/null)" = "$owner" ] || continue
        pid=$(tr -d ' \n' <"$lock" 2>/dev/null) || continue
        for ((tries = 0; tries < 50; tries++)); do
            [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && continue
        n=${lock#/tmp/.X}
        n=${n%-lock}
        rm -f "$lock" "/tmp/.X11-unix/X$n"
    done
}
on_exit stop_compositors

# start_sway OUTPUTS: sway headless with OUTPUTS outputs, 1024x768 and
# 800x600 to its right; floating test windows.
start_sway() {
    cat >"$work/sway.conf" <<CONF
output HEADLESS-1 resolution 1024x768 position 0 0
output HEADLESS-2 resolution 800x600 position 1024 0
workspace 2 output HEADLESS-2
for_window [title="wendrel-test-window"] floating enable, border none, move position 100 100
CONF
    chmod 644 "$work/sway.conf"
    WLR_HEADLESS_OUTPUTS=$1 "${user[@]}" sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
    compositor=$!
    wait_until 10 "sway did not start: $(cat "$work/sway.log")" sway_up
    export WAYLAND_DISPLAY=wayland-1
    SWAYSOCK=$(echo "$rt"/sway-ipc.*.sock)
    export SWAYSOCK
}
sway_up() { compgen -G "$rt/sway-ipc.*.sock" >/dev/null && [ -S "$rt/wayland-1" ]; }
sway_msg() { as_user swaymsg "$@" >/dev/null || fail "swaymsg $* failed"; }

# start_wendrel ARGS...: wendrel as the compositor's user; $first is the
# earliest second it may have seeded from.
start_wendrel() {
    first=$(date +%s)
    "${user[@]}" "$wendrel" "$@" >"$work/saver.out" 2>"$work/saver.err" &
    saver=$!
}

# The wendrel copy of this test that swayidle started.
idle_saver() {
    local pid
    for pid in $(pgrep -x wendrel); do
        [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$wendrel" ] && echo "$pid" && return 0
    done
    return 1
}
started_by_idle() { idle_saver >/dev/null; }
no_wendrel() { ! idle_saver >/dev/null; }
one_output() { [ "$(as_user swaymsg -r -t get_outputs | grep -c '"name": "WL-')" = 1 ]; }

# shoot OUTPUT [frame-match options]: that output shows a frame of the run.
shoot() {
    local output=$1
    shift
    rm -f "$rt/shot.png"
    as_user grim -o "$output" "$rt/shot.png" || fail "grim -o $output failed"
    local last
    last=$(date +%s)
    match_frame "$rt/shot.png" "$first" "$last" "$(((last - first + 2) * 100))" "$@"
}

running() {
    kill -0 "$saver" 2>/dev/null || fail "wendrel ended: $(cat "$work/saver.err")"
}

# seen PNG: PNG shows a frame of the run. The search goes only as far as
# the run can have gone, so that each look stays quick and a wait for a
# frame that never comes ends when it should.
seen() {
    local now
    now=$(date +%s)
    "$FRAME_MATCH" "$1" --seeds "$first:$now" --max-ticks $(((now - first + 2) * 100))
}

# shows OUTPUT: grim can see a frame on OUTPUT (for a wait).
shows() {
    running
    rm -f "$rt/shot.png"
    as_user grim -o "$1" "$rt/shot.png" 2>/dev/null || return 1
    seen "$rt/shot.png" >/dev/null 2>&1
}

# stopped_by SIGNAL STATUS: SIGNAL ends wendrel within 3 s, by the signal
# (STATUS) as on X11, with nothing on stderr and no process left.
stopped_by() {
    kill "-$1" "$saver"
    expect_status "$2" 3
    [ ! -s "$work/saver.err" ] || fail "wendrel said: $(cat "$work/saver.err")"
    no_wendrel || fail "a wendrel process is left"
}

# one_line: wendrel wrote exactly one line on stderr.
one_line() {
    [ "$(wc -l <"$work/saver.err")" = 1 ] || fail "not one line: $(cat "$work/saver.err")"
}

# start_filter ARGS...: wendrel-wl-filter in front of the compositor, on
# the socket "filtered" (the saver's WAYLAND_DISPLAY then).
start_filter() {
    "${user[@]}" "$wl_filter" filtered "$@" 2>"$work/filter.err" &
    filter=$!
    wait_until 5 "the filter did not start: $(cat "$work/filter.err")" test -S "$rt/filtered"
}

# hidden IFACE: the filter hid IFACE from the saver.
hidden() {
    grep -q "hid $1 from" "$work/filter.err" || fail "the filter did not hide $1: $(cat "$work/filter.err")"
}

# hold_keyboard: a virtual keyboard in the seat while the test runs (with
# no keyboard, there is no keyboard focus to give or lose).
hold_keyboard() {
    "${user[@]}" wtype -s 600000 &
    keyboard=$!
    wait_until 5 "no keyboard in the seat" seat_has_keyboard
}
seat_has_keyboard() { as_user swaymsg -r -t get_inputs | grep -q '"type": "keyboard"'; }

# focus_ours WORKSPACE: the focused window is one of wendrel's, on WORKSPACE.
focus_ours() {
    running
    as_user swaymsg "[workspace=^$1\$ app_id=^wendrel\$ con_id=__focused__] nop" >/dev/null 2>&1
}

white_window() {
    sway_msg "focus output $1"
    sway_msg "exec $test_window 300x200 --white"
    wait_until 10 "no test window" test_window_shown
    sleep 0.5
}
test_window_shown() { as_user swaymsg -t get_tree | grep -q '"wendrel-test-window"'; }

case $case_name in
one)
    start_sway 1
    start_wendrel s
    wait_until 5 "no frame on HEADLESS-1" shows HEADLESS-1
    shoot HEADLESS-1
    # A second saver in the session gives way at once.
    as_user "$wendrel" s 2>"$work/second.err" || fail "the second saver failed: $(cat "$work/second.err")"
    running
    as_user wtype -s 600 -k Escape
    expect_end 3
    ;;
two)
    start_sway 2
    white_window HEADLESS-2
    # The pointer waits on the second output, where the saver will find it.
    as_user "$pointer" 1824 768 1300 300
    start_wendrel s
    wait_until 5 "no frame on HEADLESS-1" shows HEADLESS-1
    wait_until 5 "no frame on HEADLESS-2" shows HEADLESS-2
    shoot HEADLESS-1
    # The layout is 1824 x 768; the second output starts at x 1024. A
    # pointer comes back into the seat where it was and stays (sway draws
    # its cursor only while the seat has a pointer, and into screenshots):
    # each of the 800 x 600 pixels is the frame's, none a cursor's.
    coproc HOLD { exec "${user[@]}" "$pointer" --hold 1824 768 1300 300; }
    held=$HOLD_PID
    read -r -t 10 _ <&"${HOLD[0]}" || fail "the pointer did not come"
    shoot HEADLESS-2 --samples 480000 --min-match 100
    # Where the saver first sees the pointer is the reference; (+3, +100)
    # is within the threshold.
    as_user "$pointer" 1824 768 1303 400
    expect_running 0.5
    as_user "$pointer" 1824 768 1320 420
    expect_end 3
    ;;
hotplug)
    start_sway 1
    start_wendrel s
    wait_until 5 "no frame on HEADLESS-1" shows HEADLESS-1
    sway_msg create_output
    wait_until 1 "the new output HEADLESS-2 was not covered in 1 s" shows HEADLESS-2
    shoot HEADLESS-2
    stopped_by INT 130
    ;;
unplug)
    # A nested sway on the outer one, its two outputs windows there.
    start_sway 1
    outer=$SWAYSOCK
    printf 'output WL-1 resolution 640x480\noutput WL-2 resolution 640x480\n' >"$work/nested.conf"
    chmod 644 "$work/nested.conf"
    mkdir -m 700 "$rt/nested"
    [ "$(id -u)" != 0 ] || chown nobody:nogroup "$rt/nested"
    XDG_RUNTIME_DIR=$rt/nested WAYLAND_DISPLAY=$rt/wayland-1 WLR_BACKENDS=wayland WLR_WL_OUTPUTS=2 \
        "${user[@]}" sway -c "$work/nested.conf" >"$work/nested.log" 2>&1 &
    nested=$!
    nested_up() { compgen -G "$rt/nested/sway-ipc.*.sock" >/dev/null && compgen -G "$rt/nested/wayland-*" >/dev/null; }
    wait_until 10 "the nested sway did not start: $(cat "$work/nested.log")" nested_up
    export XDG_RUNTIME_DIR=$rt/nested
    WAYLAND_DISPLAY=$(basename "$(compgen -G "$rt/nested/wayland-?" | head -1)")
    SWAYSOCK=$(echo "$rt"/nested/sway-ipc.*.sock)
    rt=$XDG_RUNTIME_DIR
    start_wendrel s
    wait_until 5 "no frame on WL-1" shows WL-1
    wait_until 5 "no frame on WL-2" shows WL-2
    # Close the nested sway's second output, a window of the outer sway.
    SWAYSOCK=$outer sway_msg '[title="WL-2$"] kill'
    wait_until 3 "WL-2 did not go" one_output
    expect_running 1
    shoot WL-1
    stopped_by TERM 143
    ;;
background)
    start_sway 2
    start_wendrel --background
    wait_until 5 "no frame on HEADLESS-1" shows HEADLESS-1
    wait_until 5 "no frame on HEADLESS-2" shows HEADLESS-2
    shoot HEADLESS-2
    shoot HEADLESS-1
    mv "$rt/shot.png" "$rt/before.png"
    white_window HEADLESS-1
    as_user grim -o HEADLESS-1 "$rt/shot.png"
    # The window lies above the background, which goes on around it.
    white=$(convert "$rt/shot.png" -crop 300x200+100+100 +repage -format '%[min]' info:)
    [ "$white" = 65535 ] || [ "$white" = 255 ] || fail "the window is not white above the background ($white)"
    for png in before shot; do convert "$rt/$png.png" -crop 1024x368+0+400 +repage "$rt/$png-below.png"; done
    change=$(compare -metric MAE "$rt/before-below.png" "$rt/shot-below.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true)
    awk -v c="$change" 'BEGIN { exit !(c < 0.1) }' || fail "the background below the window changed by $change"
    kill -TERM "$saver"
    expect_status 143 3
    ;;
killed)
    start_sway 1
    start_wendrel s
    wait_until 5 "no frame on HEADLESS-1" shows HEADLESS-1
    kill -KILL "$compositor"
    wait "$compositor" 2>/dev/null || true
    compositor=
    expect_status 1 1
    one_line
    grep -q 'compositor went away' "$work/saver.err" || fail "unclear: $(cat "$work/saver.err")"
    ;;
weston)
    "${user[@]}" weston --backend=headless-backend.so --use-pixman --width=800 --height=600 --debug \
        --socket=wayland-w --idle-time=0 >"$work/weston.log" 2>&1 &
    compositor=$!
    weston_up() { [ -S "$rt/wayland-w" ]; }
    wait_until 10 "weston did not start: $(cat "$work/weston.log")" weston_up
    export WAYLAND_DISPLAY=wayland-w
    start_wendrel --background
    expect_status 1 3
    one_line
    grep -q 'no background layer' "$work/saver.err" || fail "unclear: $(cat "$work/saver.err")"
    start_wendrel s
    # weston-screenshooter writes the picture of the whole screen into the
    # folder it runs in.
    weston_shows() {
        running
        rm -f "$rt"/wayland-screenshot*.png
        (cd "$rt" && as_user weston-screenshooter) >/dev/null 2>&1 || return 1
        shot=$(compgen -G "$rt/wayland-screenshot*.png" | head -1) || return 1
        seen "$shot" >"$work/match.txt" 2>&1
    }
    wait_until 5 "weston shows no frame of the run" weston_shows
    kill -INT "$saver"
    expect_status 130 3
    ;;
idle)
    start_sway 1
    "${user[@]}" swayidle timeout 2 "$wendrel s" timeout 4 "touch $rt/marker" >"$work/idle.log" 2>&1 &
    idle=$!
    on_exit stop_process "$idle"
    first=$(date +%s)
    saver=$idle  # (for shows: swayidle runs while it may start wendrel)
    wait_until 5 "swayidle did not start wendrel" started_by_idle
    wait_until 5 "the second timeout did not fire while wendrel ran" test -e "$rt/marker"
    shows HEADLESS-1 || fail "wendrel is not on the screen"
    as_user wtype -s 600 -k Escape
    wait_until 3 "wendrel did not end on a key" no_wendrel
    ;;
bad)
    export XDG_RUNTIME_DIR=$rt
    for args in s --background; do
        WAYLAND_DISPLAY=nothing-here as_user "$wendrel" $args >"$work/saver.out" 2>"$work/saver.err" &&
            fail "wendrel $args ran with no compositor"
        status=$?
        [ "$status" = 1 ] || fail "status $status"
        one_line
        grep -q 'nothing-here' "$work/saver.err" || fail "unclear: $(cat "$work/saver.err")"
    done
    as_user "$wendrel" --background extra >"$work/saver.out" 2>"$work/saver.err" &&
        fail "--background took an argument"
    ;;
no-viewporter)
    start_sway 2
    start_filter --hide wp_viewporter
    WAYLAND_DISPLAY=filtered start_wendrel s
    wait_until 5 "no frame on HEADLESS-1" shows HEADLESS-1
    wait_until 5 "no frame on HEADLESS-2" shows HEADLESS-2
    hidden wp_viewporter
    # Each output's frame, stretched by the saver to 1024x768 and 800x600.
    shoot HEADLESS-1
    shoot HEADLESS-2
    as_user wtype -s 600 -k Escape
    expect_end 3
    ;;
focus)
    start_sway 2
    white_window HEADLESS-2
    hold_keyboard
    start_filter --hide zwlr_layer_shell_v1
    WAYLAND_DISPLAY=filtered start_wendrel s
    wait_until 5 "no frame on HEADLESS-1" shows HEADLESS-1
    wait_until 5 "no frame on HEADLESS-2" shows HEADLESS-2
    hidden zwlr_layer_shell_v1
    # Workspace 1 is on HEADLESS-1, 2 on HEADLESS-2: the focus goes from one
    # of our surfaces to the other and back, each stay longer than the
    # saver waits for the focus to come back.
    for workspace in 1 2 1; do
        sway_msg "focus output HEADLESS-$workspace"
        wait_until 2 "the focus is not on wendrel on workspace $workspace" focus_ours "$workspace"
        expect_running 0.5
    done
    sway_msg '[title="^wendrel-test-window$"] focus'
    expect_end 2
    ;;
protocol-error)
    start_sway 1
    start_filter
    WAYLAND_DISPLAY=filtered start_wendrel s
    wait_until 5 "no frame on HEADLESS-1" shows HEADLESS-1
    kill -USR1 "$filter"
    expect_status 1 1
    one_line
    grep -q 'protocol error (wl_display, code 0): invalid object' "$work/saver.err" ||
        fail "unclear: $(cat "$work/saver.err")"
    no_wendrel || fail "a wendrel process is left"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "passed: $case_name"
