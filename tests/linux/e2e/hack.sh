#!/bin/bash
# hack.sh window-id|env|daemon-env|resize|root|destroyed: wendrel as an
# XScreenSaver hack draws into the window it is given, at that window's
# size, and ends cleanly on SIGTERM or SIGINT; daemon-env: also in the
# little environment mate-screensaver gives its savers, where it looks for
# its settings in $HOME/.config; destroyed: it ends within a second of its
# window's destruction, quietly and without spinning meanwhile.
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
daemon-env)
    # No XDG_CONFIG_HOME, no XDG_RUNTIME_DIR. The settings file is a
    # folder there, which it names as unreadable: so it looked there.
    conf="$work/home/.config/Tavrin Screen Savers/wendrel.conf"
    mkdir -p "$conf"
    # (A sanitizer's options, when the tests run under one, are kept.)
    keep=()
    for name in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS TSAN_OPTIONS; do
        [ -z "${!name:-}" ] || keep+=("$name=${!name}")
    done
    env -i DISPLAY="$DISPLAY" HOME="$work/home" PATH="$PATH" LANG=C.UTF-8 "${keep[@]}" \
        XSCREENSAVER_WINDOW="$(printf '0x%x' "$target")" "$WENDREL" --root >"$work/saver.out" 2>"$work/saver.err" &
    saver=$!
    ;;
resize | destroyed) start_saver -window-id "$target" ;;
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
if [ "$case" = destroyed ]; then
    cpu_ticks() { awk '{print $14 + $15}' "/proc/$saver/stat" 2>/dev/null; }
    now_ms() { echo $(($(date +%s%N) / 1000000)); }
    windows() { xwininfo -root -children | grep -c '^ *0x'; }
    before=$(windows)
    cpu0=$(cpu_ticks)
    cpu=$cpu0
    gone=$(now_ms)
    kill -TERM "$helper"  # its window goes with it
    reap "$helper" 5 "the test window"
    helper=
    while kill -0 "$saver" 2>/dev/null && [ $(($(now_ms) - gone)) -lt 1000 ]; do
        sample=$(cpu_ticks) && [ -n "$sample" ] || break
        cpu=$sample
        sleep 0.05
    done
    took=$(($(now_ms) - gone))
    expect_status 0 1
    echo "ended $took ms after its window, using $(((cpu - cpu0) * 10)) ms of CPU"
    # A spinning loop would use about all of that time; the work of ending
    # (under LeakSanitizer a scan of the heap) uses some of it.
    [ $(((cpu - cpu0) * 10)) -le $((took * 3 / 4 + 20)) ] || fail "it spun before it ended"
    [ "$(windows)" -lt "$before" ] || fail "a window was left or shown: $(xwininfo -root -children)"
    [ -s "$work/saver.err" ] && fail "it said: $(cat "$work/saver.err")"
    echo "passed: $case"
    exit 0
fi
# A hack's seed mixes its process id with the second it started in.
wait_for_frame "$target" "$first" --pid "$saver"
expect_threads 2
if [ "$case" = daemon-env ]; then
    [ "$(cat "$work/saver.err")" = "wendrel: cannot read $conf: it is not a plain file; the default settings are used" ] ||
        fail "it said: $(cat "$work/saver.err")"
fi
kill -"$signal" "$saver"
# It ends by the signal, so that the daemon sees how it ended.
expect_status $((128 + $(kill -l "$signal"))) 2
# The window it drew into is still there, and nothing of ours is left.
xwininfo -id "$target" >/dev/null || fail "the window is gone"
if pgrep -f "^$WENDREL" >/dev/null; then
    fail "a wendrel process is left"
fi
echo "passed: $case"
