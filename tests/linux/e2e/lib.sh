# Shared steps of the wendrel end-to-end tests. Each test runs on an X
# server of its own (tests/support/with-x-server.sh); WENDREL,
# TEST_WINDOW and FRAME_MATCH name the programs under test.
set -euo pipefail

work=$(mktemp -d /tmp/wendrel-e2e.XXXXXX)
export XDG_CONFIG_HOME=$work/config
unset XSCREENSAVER_WINDOW
saver=
helper=
cleanup() {
    for p in $saver $helper; do
        kill "$p" 2>/dev/null || true
    done
    # What has not ended 5 s after SIGTERM is killed, so the wait ends.
    for p in $saver $helper; do
        for _ in $(seq 1 50); do
            kill -0 "$p" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$p" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# reap PID SECONDS WHAT: PID ends within SECONDS (WHAT names it in the failure).
reap() {
    local tenths=$(($2 * 10))
    for _ in $(seq 1 "$tenths"); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1" 2>/dev/null || true
            return 0
        fi
        sleep 0.1
    done
    fail "$3 still runs $2 s after it was asked to end"
}

# start_saver ARGS...: runs wendrel in the background, output in $work.
start_saver() {
    "$WENDREL" "$@" >"$work/saver.out" 2>"$work/saver.err" &
    saver=$!
}

# wait_for_window NAME: until a visible window of that name exists.
wait_for_window() {
    for _ in $(seq 1 100); do
        if xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; then
            sleep 0.5  # let it take the focus and see the pointer
            return 0
        fi
        kill -0 "$saver" 2>/dev/null || fail "wendrel ended early: $(cat "$work/saver.err")"
        sleep 0.1
    done
    fail "no window named $1"
}

# expect_end SECONDS: wendrel ends within SECONDS, with status 0.
expect_end() {
    local tenths=$(($1 * 10))
    for _ in $(seq 1 "$tenths"); do
        if ! kill -0 "$saver" 2>/dev/null; then
            local status=0
            wait "$saver" || status=$?
            saver=
            [ "$status" = 0 ] || fail "wendrel ended with status $status: $(cat "$work/saver.err")"
            return 0
        fi
        sleep 0.1
    done
    fail "wendrel still runs after $1 s"
}

# expect_running SECONDS: wendrel is still there after SECONDS.
expect_running() {
    sleep "$1"
    kill -0 "$saver" 2>/dev/null || fail "wendrel ended: $(cat "$work/saver.err")"
}

# start_helper [WxH]: a window of ours (wendrel-test-window); its id in $helper_id.
start_helper() {
    coproc HELPER { exec "$TEST_WINDOW" "$@"; }
    helper=$HELPER_PID
    read -r -t 10 helper_id <&"${HELPER[0]}" || fail "no test window"
}

# match_frame PNG FIRST_SEED LAST_SEED MAX_TICKS [frame-match options]
match_frame() {
    local png=$1 first=$2 last=$3 ticks=$4
    shift 4
    "$FRAME_MATCH" "$png" --seeds "$first:$last" --max-ticks "$ticks" "$@" ||
        fail "$png does not show a frame of seeds $first..$last"
}

# expect_status STATUS SECONDS: wendrel ends within SECONDS with STATUS.
expect_status() {
    local want=$1 tenths=$(($2 * 10))
    for _ in $(seq 1 "$tenths"); do
        if ! kill -0 "$saver" 2>/dev/null; then
            local status=0
            wait "$saver" || status=$?
            saver=
            [ "$status" = "$want" ] || fail "status $status, not $want: $(cat "$work/saver.err")"
            return 0
        fi
        sleep 0.1
    done
    fail "wendrel still runs after $2 s"
}

# expect_threads N: wendrel runs exactly N threads (the window thread and
# the animation thread, and nothing else that could outlive a stop), plus
# the WENDREL_SANITIZER_THREADS a sanitizer's runtime starts of its own.
expect_threads() {
    local count want=$(($1 + ${WENDREL_SANITIZER_THREADS:-0}))
    count=$(ls "/proc/$saver/task" | wc -l)
    [ "$count" = "$want" ] || fail "wendrel runs $count threads, not $want"
}
