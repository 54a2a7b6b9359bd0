#!/bin/bash
# preview.sh destroyed|no-window|bad-id: `wendrel p ID` draws into a child
# of window ID and ends within a second of that window's destruction; an
# id that names no window, or no number at all, ends it at once.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

case $1 in
destroyed)
    first=$(date +%s)
    start_helper 320x240
    start_saver p "$helper_id"
    wait_for_frame "$helper_id" "$first"
    kill -0 "$saver" 2>/dev/null || fail "wendrel ended: $(cat "$work/saver.err")"
    xwininfo -children -id "$helper_id" | grep -q '^  *1 child:' || fail "no preview child"
    kill -TERM "$helper"  # destroys its window
    reap "$helper" 5 "the test window"
    helper=
    expect_end 1
    ;;
no-window)
    start_saver p 0x1ffffff0
    expect_status 1 2
    grep -q "no window" "$work/saver.err" || fail "message: $(cat "$work/saver.err")"
    ;;
bad-id)
    start_saver /p twelve
    expect_status 2 2
    grep -q "is not a window id" "$work/saver.err" || fail "message: $(cat "$work/saver.err")"
    ;;
*) fail "unknown case $1" ;;
esac
echo "passed: $1"
