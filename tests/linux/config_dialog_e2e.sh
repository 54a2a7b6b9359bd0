#!/bin/bash
# config_dialog_e2e.sh DIALOG HELPERS CASE
# Drives the configuration dialog (the program DIALOG) on the X server of
# $DISPLAY with xdotool and checks what it stored and what it started. It
# runs in a desktop of its own: temporary XDG directories, the system's
# MIME database, and (when a case installs it) a recording stand-in for the
# web browser that appends its arguments to a file. HELPERS is the folder
# of the test helpers send-wm-delete and find-program-icon. The cases
# no_display and no_display_server need no X server.
set -euo pipefail
source "$(dirname "$0")/../support/shell_lib.sh"
dialog=$1
helpers=$2
case=$3

tmp=$(mktemp -d /tmp/wendrel-dialog.XXXXXX)
pid=
# After a failure, what the dialog said.
cleanup() {
    [ $? = 0 ] || [ ! -s "$tmp/stderr" ] || sed "s/^/  dialog stderr ($case): /" "$tmp/stderr" >&2
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    rm -rf "$tmp"
}
on_exit cleanup

mkdir -p "$tmp/config" "$tmp/data/applications" "$tmp/datadirs" "$tmp/configdirs" "$tmp/work"
ln -s /usr/share/mime "$tmp/datadirs/mime"
export XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data XDG_DATA_DIRS=$tmp/datadirs
export XDG_CONFIG_DIRS=$tmp/configdirs
export GDK_BACKEND=x11 NO_AT_BRIDGE=1 GIO_USE_VFS=local GSETTINGS_BACKEND=memory
unset XDG_CURRENT_DESKTOP WAYLAND_DISPLAY
conf="$XDG_CONFIG_HOME/Tavrin Screen Savers/wendrel.conf"
record=$tmp/record.txt
address=www.tavrin.example

# The stand-in browser. The desktop file's Exec line adds a word of its
# own, so a start through that line would show in the record.
install_recorder() {
    cat >"$tmp/recorder.sh" <<SCRIPT
#!/bin/sh
{ printf 'argc=%d' \$#; for a; do printf ' [%s]' "\$a"; done; echo; } >>'$record'
SCRIPT
    chmod +x "$tmp/recorder.sh"
    printf '[Desktop Entry]\nType=Application\nName=Recorder\nExec=%s --from-desktop-file %%u\nMimeType=text/html;\n' \
        "$tmp/recorder.sh" >"$tmp/data/applications/wendrel-recorder.desktop"
    printf '[Default Applications]\ntext/html=wendrel-recorder.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
}

store() {
    mkdir -p "$(dirname "$conf")"
    printf '[LEAF]\nNoDirect=%s\n' "$1" >"$conf"
    touch -d '2001-02-03 04:05:06' "$conf"
    cp -p "$conf" "$tmp/conf.before"
}

expect_stored() {
    [ -f "$conf" ] || fail "nothing stored, expected NoDirect=$1"
    [ "$(cat "$conf")" = "$(printf '[LEAF]\nNoDirect=%s' "$1")" ] ||
        fail "stored $(tr '\n' ' ' <"$conf"), expected NoDirect=$1"
    if [ -f "$tmp/conf.before" ] && [ "$conf" -ot "$tmp/conf.before" ]; then
        fail "the setting was not written"
    fi
}

expect_unchanged() {
    if [ -f "$tmp/conf.before" ]; then
        cmp -s "$conf" "$tmp/conf.before" || fail "stored $(tr '\n' ' ' <"$conf")"
        [ "$(stat -c %Y "$conf")" = "$(stat -c %Y "$tmp/conf.before")" ] || fail "the setting was rewritten"
    else
        [ ! -e "$XDG_CONFIG_HOME/Tavrin Screen Savers" ] || fail "something was stored"
    fi
}

# focus WINDOW: asks for the keyboard focus; true once WINDOW has it.
focus() {
    timeout 2 xdotool windowfocus --sync "$1" 2>/dev/null || true
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

start_dialog() {
    (cd "$tmp/work" && exec "$dialog" 2>"$tmp/stderr") &
    pid=$!
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Wendrel configuration$' | head -1) ||
        fail "no dialog window"
    # No window manager: give the dialog the keyboard focus ourselves.
    poll_until 5 focus "$wid" || true
    sleep 0.3  # let GTK take in the focus before the first key
}

keys() {
    xdotool key --delay 80 "$@"
}

# Waits for the dialog to end and checks its exit status.
ended() { ! kill -0 "$pid" 2>/dev/null; }
expect_end() {
    wait_until 10 "the dialog is still open" ended
    status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" = "${1:-0}" ] || fail "exit status $status, expected ${1:-0}"
}

expect_open() {
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || fail "the dialog has closed"
    xdotool search --onlyvisible --name '^Wendrel configuration$' >/dev/null || fail "no dialog window"
}

# Opens the dialog, toggles the check box and closes the dialog with its
# close box: nothing may be stored.
toggle_then_close_box() {
    start_dialog
    keys alt+d
    sleep 0.2
    "$helpers/send-wm-delete" "$wid"
    expect_end
    expect_unchanged
}

# The record once it has $1 lines (or whatever it has after a long wait).
recorded() { [ -f "$record" ] && [ "$(wc -l <"$record")" -ge "$1" ]; }
record_lines() {
    poll_until 10 recorded "$1" || true
    cat "$record" 2>/dev/null || true
}

# The message box that says why nothing was stored: there while the
# program waits, and closed with Enter.
dismiss_message() {
    local box
    box=$(timeout 10 xdotool search --sync --onlyvisible --name '^Wendrel$' | head -1) ||
        fail "no message box"
    kill -0 "$pid" 2>/dev/null || fail "the dialog ended without waiting for the message box"
    poll_until 5 focus "$box" || true
    sleep 0.3
    keys Return
}

once="argc=1 [$address]"
case $case in
alt_d_enter)
    start_dialog
    keys alt+d Return
    expect_end
    expect_stored 1
    ;;
enter_writes_unchanged_value)
    store 0
    start_dialog
    keys Return
    expect_end
    expect_stored 0
    ;;
escape_stores_nothing)
    store 5
    start_dialog
    keys alt+d Escape
    expect_end
    expect_unchanged
    ;;
close_box_stores_nothing)
    toggle_then_close_box
    ;;
close_box_keeps_stored_value)
    store 2
    toggle_then_close_box
    ;;
stored_1_opens_checked)
    store 1
    start_dialog
    keys alt+d Return
    expect_end
    expect_stored 0
    ;;
stored_2_opens_checked)
    store 2
    start_dialog
    keys Return
    expect_end
    expect_stored 1
    ;;
stored_7_opens_clear)
    store 7
    start_dialog
    keys Return
    expect_end
    expect_stored 0
    ;;
stored_minus_5_opens_clear)
    store -5
    start_dialog
    keys Return
    expect_end
    expect_stored 0
    ;;
tab_order_and_enter_on_check_box)
    # OK, Cancel, the check box: space toggles it, Enter presses OK.
    start_dialog
    keys Tab Tab space Return
    expect_end
    expect_stored 1
    ;;
enter_on_cancel_stores_nothing)
    store 1
    start_dialog
    keys Tab Return
    expect_end
    expect_unchanged
    ;;
home_page_twice)
    install_recorder
    start_dialog
    keys alt+g
    [ "$(record_lines 1)" = "$once" ] || fail "first click: $(record_lines 1)"
    [ ! -e "$tmp/work/aaa.htm" ] || fail "aaa.htm left behind"
    keys alt+g
    [ "$(record_lines 2)" = "$(printf '%s\n%s' "$once" "$once")" ] || fail "two clicks: $(record_lines 2)"
    [ ! -e "$tmp/work/aaa.htm" ] || fail "aaa.htm left behind"
    expect_open
    expect_unchanged
    keys Escape
    expect_end
    expect_unchanged
    [ "$(record_lines 2)" = "$(printf '%s\n%s' "$once" "$once")" ] || fail "later starts: $(record_lines 2)"
    ;;
home_page_keeps_an_existing_page_file)
    install_recorder
    printf '<p>mine</p>\n' >"$tmp/work/aaa.htm"
    touch -d '2001-02-03 04:05:06' "$tmp/work/aaa.htm"
    cp -p "$tmp/work/aaa.htm" "$tmp/aaa.before"
    start_dialog
    keys alt+g
    [ "$(record_lines 1)" = "$once" ] || fail "click: $(record_lines 1)"
    cmp -s "$tmp/work/aaa.htm" "$tmp/aaa.before" || fail "aaa.htm changed"
    [ "$(stat -c %Y "$tmp/work/aaa.htm")" = "$(stat -c %Y "$tmp/aaa.before")" ] || fail "aaa.htm touched"
    keys Return
    expect_end
    expect_stored 0
    ;;
enter_on_the_home_page_button)
    # The push button with the focus takes Enter: OK, Cancel, the check
    # box, then the home-page button.
    install_recorder
    start_dialog
    keys Tab Tab Tab Return
    [ "$(record_lines 1)" = "$once" ] || fail "Enter: $(record_lines 1)"
    expect_open
    keys Escape
    expect_end
    expect_unchanged
    ;;
home_page_without_a_browser)
    start_dialog
    keys alt+g
    expect_open
    [ ! -e "$record" ] || fail "something was started"
    [ ! -e "$tmp/work/aaa.htm" ] || fail "aaa.htm left behind"
    keys Return
    expect_end
    expect_stored 0
    ;;
layout)
    start_dialog
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    screen=$(xdpyinfo | awk '/dimensions:/ { print $2 }')
    sw=${screen%x*} sh=${screen#*x}
    # Centred on the screen, wider than high as the template.
    [ $((2 * X + WIDTH - sw)) -ge -2 ] && [ $((2 * X + WIDTH - sw)) -le 2 ] || fail "not centred: x $X"
    [ $((2 * Y + HEIGHT - sh)) -ge -2 ] && [ $((2 * Y + HEIGHT - sh)) -le 2 ] || fail "not centred: y $Y"
    [ $((10 * WIDTH)) -ge $((18 * HEIGHT)) ] && [ $((10 * WIDTH)) -le $((30 * HEIGHT)) ] ||
        fail "a ${WIDTH}x$HEIGHT dialog"
    # A fixed size: the same least and greatest size.
    hints=$(xprop -id "$wid" WM_NORMAL_HINTS)
    min=$(sed -n 's/.*minimum size: \([0-9]* by [0-9]*\).*/\1/p' <<<"$hints")
    max=$(sed -n 's/.*maximum size: \([0-9]* by [0-9]*\).*/\1/p' <<<"$hints")
    [ -n "$min" ] && [ "$min" = "$max" ] || fail "resizable: $hints"
    xprop -id "$wid" WM_CLASS | grep -q '"wendrel"' || fail "$(xprop -id "$wid" WM_CLASS)"
    xprop -id "$wid" -notype _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "no window icon"
    # The program's icon, pixel for pixel, at the top left.
    import -window "$wid" "$tmp/shot.png"
    at=$("$helpers/find-program-icon" "$tmp/shot.png") || fail "the icon is not shown: $at"
    [ "${at% *}" -lt 40 ] && [ "${at#* }" -lt 40 ] || fail "the icon is at $at"
    keys Escape
    expect_end
    expect_unchanged
    ;;
write_failure_is_reported)
    printf 'not a directory\n' >"$tmp/config-file"
    export XDG_CONFIG_HOME=$tmp/config-file
    start_dialog
    keys Return
    dismiss_message
    expect_end 0
    [ "$(wc -l <"$tmp/stderr")" = 1 ] || fail "expected one line on stderr"
    grep -q 'not stored' "$tmp/stderr" || fail "no message about the failed write"
    ;;
unreadable_file_is_kept)
    # Larger than any settings file should be: read as the default, never
    # written over, and OK says why. Then a folder where the file should be.
    store 1
    head -c 1100000 /dev/zero | tr '\0' '#' >>"$conf"
    touch -d '2001-02-03 04:05:06' "$conf"
    cp -p "$conf" "$tmp/conf.before"
    start_dialog
    keys alt+d Return
    dismiss_message
    expect_end 0
    expect_unchanged
    [ "$(wc -l <"$tmp/stderr")" = 1 ] || fail "expected one line on stderr"
    grep -q 'not stored: cannot read .*wendrel.conf: it is larger than 1 MiB; it is left as it is' \
        "$tmp/stderr" || fail "no reason given"
    rm -f "$conf" "$tmp/conf.before"
    mkdir "$conf"
    start_dialog
    keys Return
    dismiss_message
    expect_end 0
    [ -d "$conf" ] || fail "the folder was replaced"
    grep -q 'it is not a plain file' "$tmp/stderr" || fail "no reason given"
    ;;
no_display)
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY "$dialog" 2>"$tmp/stderr" || status=$?
    [ "$status" = 1 ] || fail "exit status $status, expected 1"
    [ "$(wc -l <"$tmp/stderr")" = 1 ] || fail "expected one line on stderr"
    grep -q 'cannot open a display' "$tmp/stderr" || fail "unclear message"
    expect_unchanged
    ;;
no_display_server)
    status=0
    DISPLAY=:7913 "$dialog" 2>"$tmp/stderr" || status=$?
    [ "$status" = 1 ] || fail "exit status $status, expected 1"
    [ "$(wc -l <"$tmp/stderr")" = 1 ] || fail "expected one line on stderr"
    grep -q 'cannot open a display.*:7913' "$tmp/stderr" || fail "unclear message"
    ;;
*)
    echo "config_dialog_e2e: unknown case '$case'" >&2
    exit 2
    ;;
esac
echo "PASS ($case)"
