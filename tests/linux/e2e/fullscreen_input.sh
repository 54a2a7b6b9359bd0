#!/bin/bash
# fullscreen_input.sh key|click|move|focus|small-moves: what ends `wendrel s`
# and what does not.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

case=$1
if [ "$case" = focus ]; then
    start_helper 200x200
fi
xdotool mousemove 500 400
start_saver s
wait_for_window Wendrel

case $case in
key) xdotool key a ;;
click) xdotool click 1 ;;
move) xdotool mousemove 506 406 ;;
focus) xdotool windowfocus "$helper_id" ;;
small-moves)
    # Measured from the first position seen, (500, 400): one axis alone
    # never ends it, nor do key releases or the wheel.
    xdotool mousemove 505 500
    expect_running 0.7
    xdotool mousemove 600 403
    expect_running 0.7
    xdotool mousemove 495 300
    expect_running 0.7
    xdotool click 4 click 5
    expect_running 0.7
    xdotool keyup a
    expect_running 0.7
    # Small moves add up: (-3, -3) then (-6, -6) from the first position.
    xdotool mousemove 497 397
    expect_running 0.7
    xdotool mousemove 494 394
    ;;
*) fail "unknown case $case" ;;
esac
expect_end 3
echo "passed: $case"
