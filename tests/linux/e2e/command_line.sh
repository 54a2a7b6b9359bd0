#!/bin/bash
# command_line.sh usage|help-version|no-display|no-window|unreadable-settings:
# wrong hack options give the usage and status 2; --help, -h and --version
# print on standard output and exit 0, opening nothing on the display; no display, or a window id that
# names no window, gives a clear message and status 1; a settings file that
# cannot be read is said so, and left as it is.
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
help-version)
    version=$(sed -n 's/^project(wendrel VERSION \([0-9.]*\).*/\1/p' "$here/../../../CMakeLists.txt")
    # prints ARGS...: runs wendrel ARGS on the display; it must exit 0 at
    # once, with its output on stdout alone.
    prints() {
        local status=0
        timeout 10 "$WENDREL" "$@" >"$work/out" 2>"$work/err" || status=$?
        [ "$status" = 0 ] || fail "wendrel $* gave status $status: $(cat "$work/err")"
        [ ! -s "$work/err" ] || fail "wendrel $* said on stderr: $(cat "$work/err")"
        [ -s "$work/out" ] || fail "wendrel $* printed nothing"
    }
    for args in --version "--version --root"; do
        # shellcheck disable=SC2086
        prints $args
        [ "$(cat "$work/out")" = "wendrel $version" ] || fail "wendrel $args said '$(cat "$work/out")'"
    done
    for args in --help -h "--help s"; do
        # shellcheck disable=SC2086
        prints $args
        head -1 "$work/out" | grep -q '^usage: wendrel' || fail "wendrel $args gave no usage: $(cat "$work/out")"
        for mode in 's ' 'p WINDOW-ID' --root --window-id window --help --version; do
            grep -q -- "^  $mode" "$work/out" || fail "wendrel $args does not explain $mode"
        done
    done
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
unreadable-settings)
    unset DISPLAY
    dir="$XDG_CONFIG_HOME/Tavrin Screen Savers"
    conf="$dir/wendrel.conf"
    mkdir -p "$dir"
    printf '[LEAF]\nNoDirect=1\n' >"$conf"
    head -c 1100000 /dev/zero | tr '\0' '#' >>"$conf"
    sum=$(md5sum <"$conf")
    expect_exit 1 "^wendrel: cannot read $conf: it is larger than 1 MiB; the default settings are used" s
    [ "$(md5sum <"$conf")" = "$sum" ] || fail "the file was changed"
    # Mode 000, read by an ordinary user (root reads anything).
    printf '[LEAF]\nNoDirect=1\n' >"$conf"
    chmod 000 "$conf"
    chmod 755 "$work" "$XDG_CONFIG_HOME"
    chown nobody "$dir"
    status=0
    setpriv --reuid=nobody --regid=nogroup --clear-groups env XDG_CONFIG_HOME="$XDG_CONFIG_HOME" \
        XDG_RUNTIME_DIR="$work" "$WENDREL" s >"$work/out" 2>"$work/err" || status=$?
    [ "$status" = 1 ] || fail "as nobody: status $status: $(cat "$work/err")"
    grep -q "^wendrel: cannot read $conf: Permission denied; the default settings are used" \
        "$work/err" || fail "as nobody, wendrel said: $(cat "$work/err")"
    [ "$(stat -c %a "$conf")" = 0 ] && [ "$(cat "$conf")" = "$(printf '[LEAF]\nNoDirect=1')" ] ||
        fail "the file was changed"
    ;;
*) fail "unknown case $1" ;;
esac
echo "passed: $1"
