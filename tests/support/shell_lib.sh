# shellcheck shell=bash
# Sourced by the shell tests and scripts (bash):
#   fail MSG...                       prints "FAIL: MSG" on stderr and exits 1
#   wait_until SECONDS WHAT COMMAND...
#                                     runs COMMAND every 0.1 s until it succeeds;
#                                     fails with WHAT when SECONDS have passed
#   poll_until SECONDS COMMAND...     the same, but false on time-out, for a
#                                     wait that goes on either way
#   on_exit COMMAND...                runs COMMAND when the script exits, the
#                                     last registered first, also after a failure;
#                                     $? in COMMAND is the script's exit status
#   window_of PID                     prints the id of PID's first visible X
#                                     window; false while there is none, fails
#                                     when PID has ended (for wait_until)
#   stop_process PID [SECONDS]        sends TERM, then KILL to what is left after
#                                     SECONDS (default 5), and reaps it
# COMMAND runs in the calling shell, so it may be a function of the script
# (which may itself call fail, e.g. when what it waits for has died).
# Arguments to on_exit are taken as they are when it is called; to see a
# variable's value at exit, register a function that reads it.

[ -z "${shell_lib_loaded:-}" ] || return 0
shell_lib_loaded=1
shell_lib_on_exit=()

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

poll_until() {
    local tenths
    tenths=$(awk -v s="$1" 'BEGIN { printf "%d", s * 10 }')
    shift
    while :; do
        "$@" && return 0
        [ "$tenths" -gt 0 ] || return 1
        tenths=$((tenths - 1))
        sleep 0.1
    done
}

wait_until() {
    local seconds=$1 what=$2
    shift 2
    poll_until "$seconds" "$@" || fail "$what"
}

on_exit() {
    shell_lib_on_exit+=("$(printf '%q ' "$@")")
    trap shell_lib_run_on_exit EXIT
}

shell_lib_run_on_exit() {
    local status=$? i
    for ((i = ${#shell_lib_on_exit[@]} - 1; i >= 0; i--)); do
        # (in an || list, so that neither ends the script early)
        eval "shell_lib_status $status; ${shell_lib_on_exit[i]}" || true
    done
    exit "$status"
}

window_of() {
    local id
    id=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && echo "$id" && return 0
    kill -0 "$1" 2>/dev/null || fail "process $1 ended before it showed a window"
    return 1
}

shell_lib_status() { return "$1"; }

stop_process() {
    local pid=$1 tenths=$((${2:-5} * 10))
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || true
    while [ "$tenths" -gt 0 ] && kill -0 "$pid" 2>/dev/null; do
        tenths=$((tenths - 1))
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
