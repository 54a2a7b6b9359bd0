#!/bin/bash
# screenshot.sh s|window: the screen shows an engine frame, stretched over
# the whole full-screen window, or over the whole of a resized ordinary
# window.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

mode=$1
xdotool mousemove 0 0
first=$(date +%s)
start_saver "$mode"
[ "$mode" = window ] && name=Wendrel || name=Wendrel
wait_for_window "$name"
rect=()
if [ "$mode" = window ]; then
    id=$(xdotool search --onlyvisible --name '^Wendrel$' | head -1)
    # No window manager here: the window sits at its own place, at the
    # size asked for, and follows a resize.
    timeout 10 xdotool windowsize --sync "$id" 500 700 || fail "the window was not resized in 10 s"
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$id")"
    [ "$WIDTH" = 500 ] && [ "$HEIGHT" = 700 ] || fail "window is ${WIDTH}x$HEIGHT"
    rect=(--rect "$X,$Y,$WIDTH,$HEIGHT")
fi
screenshot "$work/shot.png" "${rect[1]:-0,0,1024,768}"
last=$(date +%s)
ticks=$(((last - first + 1) * 100))
match_frame "$work/shot.png" "$first" "$last" "$ticks" "${rect[@]}"
if [ "$mode" = window ]; then
    xdotool key Escape
else
    xdotool key space
fi
expect_end 3
echo "passed: $mode"
