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
# The first frame can be late on a loaded machine or under a sanitizer:
# look again for up to 10 s before calling it missing.
for try in $(seq 1 10); do
    import -window "$target" "$work/shot.png"
    last=$(date +%s)
    ticks=$(((last - first + 1) * 100))
    "$FRAME_MATCH" "$work/shot.png" --seeds "$first:$last" --max-ticks "$ticks" >/dev/null 2>&1 &&
        break
    [ "$try" = 10 ] && match_frame "$work/shot.png" "$first" "$last" "$ticks"
    sleep 1
done
expect_threads 2
kill -"$signal" "$saver"
expect_end 2
# The window it drew into is still there, and nothing of ours is left.
xwininfo -id "$target" >/dev/null || fail "the window is gone"
if pgrep -f "^$WENDREL" >/dev/null; then
    fail "a wendrel process is left"
fi
echo "passed: $case"
