#!/bin/bash
# hack.sh window-id|env|resize|root: wendrel as an XScreenSaver hack draws
# into the window it is given, at that window's size, and ends cleanly on
# SIGTERM or SIGINT.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

case=$1
first=$(date +%s)
signal=TERM
if [ "$case" != root ]; then
    start_helper 400x300
    target=$helper_id
fi
case $case in
window-id) start_saver --window-id "$target" ;;
env)
    # The daemon's way: the window in the environment, --root on the line.
    XSCREENSAVER_WINDOW=$(printf '0x%x' "$target") start_saver --root
    signal=INT
    ;;
resize) start_saver -window-id "$target" ;;
root)
    target=$(xwininfo -root | awk '/Window id:/ {print $4}')
    start_saver -root
    ;;
*) fail "unknown case $case" ;;
esac
sleep 1.5
kill -0 "$saver" 2>/dev/null || fail "wendrel ended: $(cat "$work/saver.err")"
if [ "$case" = resize ]; then
    timeout 10 xdotool windowsize --sync "$helper_id" 600 500 ||
        fail "the test window was not resized in 10 s"
    sleep 0.8
    eval "$(xdotool getwindowgeometry --shell "$helper_id")"
    [ "$WIDTH" = 600 ] && [ "$HEIGHT" = 500 ] || fail "test window is ${WIDTH}x$HEIGHT"
fi
import -window "$target" "$work/shot.png"
last=$(date +%s)
match_frame "$work/shot.png" "$first" "$last" $(((last - first + 1) * 100))
expect_threads 2
kill -"$signal" "$saver"
expect_end 2
# The window it drew into is still there, and nothing of ours is left.
xwininfo -id "$target" >/dev/null || fail "the window is gone"
if pgrep -f "^$WENDREL" >/dev/null; then
    fail "a wendrel process is left"
fi
echo "passed: $case"
