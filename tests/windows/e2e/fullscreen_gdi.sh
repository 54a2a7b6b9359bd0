#!/bin/bash
# The saver in full-screen mode on a 1920x1080 screen, which has no 640x480
# mode: the DirectDraw set-up fails and the GDI presenter stretches every
# frame over the screen. Checks the picture against the engine's frames,
# measures the frame rate, and which input ends the saver.
source "$(dirname "$0")/e2e_lib.sh"
e2e_init
e2e_need_frame_match

# Starts the saver with the pointer at (400, 400), waits for its window
# and gives it the keyboard focus, as a window manager would. Wine then
# confines the pointer to the full-screen window and reports its position
# to it, which may be the first position the saver records; a move by
# (+1, +1) makes the first position (400, 400) or (401, 401) either way, and
# every move below has the same outcome from both.
start_focused() {
    xdotool mousemove 400 400
    e2e_start_saver /s
    WINDOW=$(e2e_wait_window 30 "$SAVER_PID" "no saver window appeared")
    xdotool windowfocus "$WINDOW"
    sleep 3
    e2e_saver_running || fail "the saver ended on its own"
    xdotool mousemove 401 401
    expect_running "its first mouse position"
}

expect_running() {
    sleep 1
    e2e_saver_running || fail "the saver ended after $1"
}

expect_ended() {
    e2e_wait_saver_end 5 "the saver did not end after $1"
    e2e_expect_no_strays
    e2e_log "$1 ended it"
}

# 1. The picture: the whole frame stretched over the whole screen. Two
#    screenshots some seconds apart give the frames presented per second.
start_focused
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
[ "$X,$Y,$WIDTH,$HEIGHT" = "0,0,1920,1080" ] ||
    fail "the saver window is $WIDTH x $HEIGHT at $X,$Y, not the whole screen"
e2e_log "GDI presenter at 1920x1080: $(e2e_measure_rate) frames per second"

# 2. Movements along mostly one axis never end it, however far; a key does.
xdotool mousemove 405 500
expect_running "a move of (+5, +100)"
xdotool mousemove 500 403
expect_running "a move of (+100, +3)"
xdotool mousemove 300 402
expect_running "a move of (-100, +2)"
xdotool key a
expect_ended "a key"

# 3. A mouse button.
start_focused
xdotool click 1
expect_ended "a click"

# 4. Moves add up: more than 5 pixels on both axes from the first position.
start_focused
xdotool mousemove 404 404
expect_running "a move of (+4, +4)"
xdotool mousemove 408 408
expect_ended "a second move of (+4, +4)"

# 5. A single move up and to the left.
start_focused
xdotool mousemove 393 393
expect_ended "a move of (-7, -7)"

# 6. Alt+F4, which a window would take as a close request.
start_focused
xdotool key alt+F4
expect_ended "Alt+F4"

# 7. Another program taking the foreground.
start_focused
"$LOADER" "$WENDREL_E2E_TOOLS/wendrel-focus-taker.exe" 0 3000 &
taker=$!
expect_ended "another window taking the focus"
wait $taker || true
