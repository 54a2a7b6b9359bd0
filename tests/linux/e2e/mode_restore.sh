#!/bin/bash
# mode_restore.sh crash|end|second: the display gets its 1024x768 back
# however `wendrel s` ends. crash: within a second of SIGKILL, SIGSEGV,
# SIGABRT or SIGHUP of the saver, its mode watcher restores the mode and
# is gone. end: after Esc, SIGTERM or SIGINT the saver restores it itself,
# ends by that signal, and leaves no watcher behind. second: a second saver
# started while one runs exits at once with status 0 and changes nothing.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
ulimit -c 0  # a crash must not spend its time writing a core file
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

current_size() {
    xrandr | sed -n 's/.* current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'
}

now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

# wait_size SIZE MS: the display is at SIZE within MS milliseconds.
wait_size() {
    local deadline=$(($(now_ms) + $2))
    while [ "$(current_size)" != "$1" ]; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.02
    done
}

# gone PID: no such process, or only a zombie that its new parent has
# not reaped yet.
gone() {
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 0
    [ -z "$state" ] || [ "$state" = Z ]
}

# start_switched: a saver in the 640x480 mode; its watcher's pid in $watcher.
start_switched() {
    start_saver s
    wait_for_window Wendrel
    wait_size 640x480 5000 || fail "the display is $(current_size) while the saver runs"
    watcher=$(pgrep -P "$saver") || fail "the saver runs no mode watcher"
    [ "$(echo "$watcher" | wc -w)" = 1 ] || fail "the saver runs several children: $watcher"
}

[ "$(current_size)" = 1024x768 ] || fail "display starts at $(current_size)"
case $1 in
crash)
    # Under AddressSanitizer the signals end the process as they would
    # without it, not after a report that takes its time.
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}handle_segv=0:handle_abort=0"
    for signal in KILL SEGV ABRT HUP; do
        start_switched
        kill -"$signal" "$saver"
        killed=$(now_ms)
        wait_size 1024x768 1000 ||
            fail "SIG$signal: the display is $(current_size) 1 s after the saver was killed"
        echo "SIG$signal: mode back in $(($(now_ms) - killed)) ms"
        status=0
        wait "$saver" 2>/dev/null || status=$?
        saver=
        [ "$status" = $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal: status $status"
        wait_until 1 "SIG$signal: the watcher still runs after restoring the mode" gone "$watcher"
    done
    ;;
end)
    for how in Escape TERM INT; do
        start_switched
        want=0
        if [ "$how" = Escape ]; then
            xdotool key Escape
        else
            kill -"$how" "$saver"
            want=$((128 + $(kill -l "$how")))
        fi
        expect_status "$want" 3
        # The saver waited for its watcher: it is gone already.
        gone "$watcher" || fail "$how: the watcher outlived the saver"
        [ "$(current_size)" = 1024x768 ] || fail "$how: the display is $(current_size) after the end"
        grep -q . "$work/saver.err" && fail "$how: the saver said: $(cat "$work/saver.err")"
    done
    ;;
second)
    for try in $(seq 1 10); do
        start_saver s
        first=$saver
        sleep 0.3
        started=$(now_ms)
        status=0
        timeout 5 "$WENDREL" s >"$work/second.out" 2>"$work/second.err" || status=$?
        took=$(($(now_ms) - started))
        [ "$status" = 0 ] || fail "try $try: the second saver ended with $status: $(cat "$work/second.err")"
        # A second saver that did not give way would run until the timeout.
        [ "$took" -lt 3000 ] || fail "try $try: the second saver took $took ms to give way"
        [ -s "$work/second.err" ] && fail "try $try: the second saver said: $(cat "$work/second.err")"
        wait_for_window Wendrel
        wait_size 640x480 5000 || fail "try $try: the display is $(current_size) while the first runs"
        [ "$(xdotool search --onlyvisible --name '^Wendrel$' | wc -l)" = 1 ] ||
            fail "try $try: more than one saver window"
        kill -TERM "$first"
        expect_status 143 3
        [ "$(current_size)" = 1024x768 ] || fail "try $try: the display is $(current_size) after the end"
    done
    ;;
*) fail "unknown case $1" ;;
esac
echo "passed: $1"
