#!/bin/bash
# window_mode.sh esc|close-button|other-input: `wendrel window` closes with
# Esc or its close button, and nothing else that the user does ends it.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

start_saver window
wait_for_window Wendrel
id=$(xdotool search --onlyvisible --name '^Wendrel$' | head -1)
case $1 in
esc) timeout 10 xdotool windowfocus --sync "$id" key Escape || fail "the window took no focus in 10 s" ;;
close-button) "$TEST_WINDOW" --close "$id" ;;
other-input)
    eval "$(xdotool getwindowgeometry --shell "$id")"
    timeout 10 xdotool windowfocus --sync "$id" mousemove $((X + 10)) $((Y + 10)) ||
        fail "the window took no focus in 10 s"
    xdotool mousemove $((X + 200)) $((Y + 200)) click 1 key a key space
    expect_running 1
    xdotool key Escape
    ;;
*) fail "unknown case $1" ;;
esac
expect_end 3
echo "passed: $1"
