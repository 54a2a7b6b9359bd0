#!/bin/bash
# command_line.sh usage|no-display|no-window: wrong hack options give the
# usage and status 2; no display, or a window id that names no window,
# gives a clear message and status 1.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

expect_exit() {
    local want=$1 pattern=$2
    shift 2
    local status=0
    timeout 10 "$WENDREL" "$@" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" = "$want" ] || fail "wendrel $* gave status $status, not $want: $(cat "$work/err")"
    grep -q -- "$pattern" "$work/err" || fail "wendrel $* said: $(cat "$work/err")"
}

case $1 in
usage)
    expect_exit 2 "^usage: wendrel" --root --bogus
    expect_exit 2 "unknown option '-x'" -window-id 0x1 -x
    expect_exit 2 "needs a window id" --window-id
    expect_exit 2 "needs a window id" --window-id nothing
    XSCREENSAVER_WINDOW=nonsense expect_exit 2 "XSCREENSAVER_WINDOW" --root
    expect_exit 2 "preview mode needs a window id" -p
    # Wider than an X id's 29 bits: refused, never cut down to another id.
    expect_exit 2 "^usage: wendrel" --window-id 0xffffffff0000050d
    expect_exit 2 "needs a window id" -window-id 0x20000000
    expect_exit 2 "not a window id" p 0xffffffff0000050d
    XSCREENSAVER_WINDOW=0xffffffff0000050d expect_exit 2 "is not a window id" --root
    ;;
no-display)
    unset DISPLAY
    for args in s window "p 0x200001" --root "--window-id 0x200001"; do
        # shellcheck disable=SC2086
        expect_exit 1 "^wendrel: cannot open the X display" $args
    done
    ;;
no-window)
    expect_exit 1 "no window 536870896 to draw into" --window-id 0x1ffffff0
    XSCREENSAVER_WINDOW=0x1ffffff0 expect_exit 1 "no window 536870896 to draw into" --root
    expect_exit 1 "no window 536870896 to preview in" p 536870896
    ;;
*) fail "unknown case $1" ;;
esac
echo "passed: $1"
