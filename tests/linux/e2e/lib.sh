# Shared steps of the wendrel end-to-end tests. Each test runs on an X
# server of its own (tests/support/with-x-server.sh); WENDREL,
# TEST_WINDOW and FRAME_MATCH name the programs under test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../support/shell_lib.sh"

work=$(mktemp -d /tmp/wendrel-e2e.XXXXXX)
export XDG_CONFIG_HOME=$work/config
unset XSCREENSAVER_WINDOW
saver=
helper=
# What has not ended 5 s after SIGTERM is killed, so the wait ends.
cleanup() {
    stop_process "$saver"
    stop_process "$helper"
    wait 2>/dev/null || true
    rm -rf "$work"
}
on_exit cleanup

ended() { ! kill -0 "$1" 2>/dev/null; }

# reap PID SECONDS WHAT: PID ends within SECONDS (WHAT names it in the failure).
reap() {
    wait_until "$2" "$3 still runs $2 s after it was asked to end" ended "$1"
    wait "$1" 2>/dev/null || true
}

# start_saver ARGS...: runs wendrel in the background, output in $work.
start_saver() {
    "$WENDREL" "$@" >"$work/saver.out" 2>"$work/saver.err" &
    saver=$!
}

# window_shown NAME: a visible window of that name exists; fails when
# wendrel has ended.
window_shown() {
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && return 0
    kill -0 "$saver" 2>/dev/null || fail "wendrel ended early: $(cat "$work/saver.err")"
    return 1
}

# wait_for_window NAME: until a visible window of that name exists.
wait_for_window() {
    wait_until 10 "no window named $1" window_shown "$1"
    sleep 0.5  # let it take the focus and see the pointer
}

# expect_end SECONDS: wendrel ends within SECONDS, with status 0.
expect_end() { expect_status 0 "$1"; }

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

# drawn PNG RECT...: takes a screenshot of the screen into PNG; true when
# the background picture explains at least half of each rectangle X,Y,W,H
# of it, i.e. the saver has drawn a frame there, not just shown its window.
drawn() {
    local png=$1 rect share
    shift
    import -window root "$png"
    for rect in "$@"; do
        share=$("$FRAME_MATCH" "$png" --rect "$rect" --background-only |
            sed -n 's/^background explains \([0-9]*\).*/\1/p')
        [ "${share:-0}" -ge 50 ] || return 1
    done
}

# screenshot PNG RECT...: a screenshot once the saver has drawn its picture
# in each rectangle. A window shows its first frame some time after it
# appears: later on a busy machine, and later still under a sanitizer.
screenshot() { wait_until 10 "no frame was drawn in $* within 10 s" drawn "$@"; }

# match_frame PNG FIRST_SEED LAST_SEED MAX_TICKS [frame-match options]
match_frame() {
    local png=$1 first=$2 last=$3 ticks=$4
    shift 4
    "$FRAME_MATCH" "$png" --seeds "$first:$last" --max-ticks "$ticks" "$@" ||
        fail "$png does not show a frame of seeds $first..$last"
}

# wait_for_frame WINDOW FIRST_SEED [frame-match options]: until a
# screenshot of WINDOW shows an engine frame of a seed from FIRST_SEED on.
# The first frame can be late on a loaded machine or under a sanitizer:
# look again for up to 10 s before calling it missing.
wait_for_frame() {
    local window=$1 first=$2 try last
    shift 2
    for try in $(seq 1 10); do
        import -window "$window" "$work/shot.png"
        last=$(date +%s)
        "$FRAME_MATCH" "$work/shot.png" --seeds "$first:$last" \
            --max-ticks $(((last - first + 1) * 100)) "$@" >/dev/null 2>&1 && return 0
        [ "$try" = 10 ] &&
            match_frame "$work/shot.png" "$first" "$last" $(((last - first + 1) * 100)) "$@"
        sleep 1
    done
}

# expect_status STATUS SECONDS: wendrel ends within SECONDS with STATUS.
expect_status() {
    local want=$1 status=0
    wait_until "$2" "wendrel still runs after $2 s" ended "$saver"
    wait "$saver" || status=$?
    saver=
    [ "$status" = "$want" ] || fail "status $status, not $want: $(cat "$work/saver.err")"
}

# expect_threads N: wendrel runs exactly N threads (the window thread and
# the animation thread, and nothing else that could outlive a stop), plus
# the WENDREL_SANITIZER_THREADS a sanitizer's runtime starts of its own.
expect_threads() {
    local count want=$(($1 + ${WENDREL_SANITIZER_THREADS:-0}))
    count=$(ls "/proc/$saver/task" | wc -l)
    [ "$count" = "$want" ] || fail "wendrel runs $count threads, not $want"
}
