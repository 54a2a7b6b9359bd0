#!/bin/bash
# Configuration mode (no arguments): the dialog "Wendrel configuration"
# stores NoDirect on OK, nothing on Esc, and its home-page button starts the
# program associated with ".htm" (our recording stand-in) once per click with
# the address as its only argument, through a page file "aaa.htm" made only
# when none exists and removed only when made here.
source "$(dirname "$0")/e2e_lib.sh"
e2e_init
key=$e2e_settings_key
# Wine's shell reads file types from the machine's classes only.
classes='HKCR'
progid=WendrelTestPage
stand_in=$(e2e_winpath "$WENDREL_E2E_TOOLS/wendrel-web-page-stand-in.exe")
export WENDREL_STAND_IN_LOG=$WORK/stand-in.log

# The stored value in hexadecimal, or nothing when there is none.
stored() {
    { "$LOADER" reg query "$key" /v NoDirect 2>/dev/null || true; } | tr -d '\r' |
        sed -n 's/.*NoDirect[[:space:]]*REG_DWORD[[:space:]]*0x\([0-9a-fA-F]*\).*/\1/p'
}

expect_stored() {
    local value
    value=$(stored)
    [ "$value" = "$1" ] || fail "$2: NoDirect is '${value:-none}', not '${1:-none}'"
    e2e_log "$2: NoDirect ${1:-none}"
}

# The dialog's window id; false while there is none.
dialog_window() {
    local id
    id=$(xdotool search --onlyvisible --name '^Wendrel configuration$' 2>/dev/null | head -1 || true)
    [ -n "$id" ] && echo "$id" && return 0
    e2e_saver_running || fail "the saver ended without a dialog"
    return 1
}

# Starts the dialog in directory $WORK/cwd and gives it the keyboard focus.
open_dialog() {
    (cd "$WORK/cwd" && exec "$LOADER" "$WENDREL_SCR") &
    SAVER_PID=$!
    local id
    id=$(wait_until 30 "no dialog 'Wendrel configuration' appeared" dialog_window)
    xdotool windowfocus "$id"
    sleep 1
}

# Presses keys $@ in the dialog; it must end then.
close_with() {
    xdotool key "$@"
    e2e_wait_saver_end 10 "the dialog stayed after $*"
    e2e_expect_no_strays
}

mkdir -p "$WORK/cwd"

# 1. OK stores what the box shows; Esc and Cancel store nothing.
e2e_set_no_direct none
open_dialog
close_with alt+d Return
expect_stored 1 "box checked, then OK"
open_dialog
close_with alt+d Escape
expect_stored 1 "box toggled, then Esc"
open_dialog
close_with alt+d Return
expect_stored 0 "stored 1 opens checked; toggled, then OK"
e2e_set_no_direct 7
open_dialog
close_with Return
expect_stored 0 "stored 7 opens clear; OK"
e2e_set_no_direct 2
open_dialog
close_with Return
expect_stored 1 "stored 2 opens checked; OK"
e2e_set_no_direct none
open_dialog
close_with Escape
expect_stored "" "nothing stored, then Esc"

# 2. The home-page button, with our stand-in as the program for web pages.
previous_type=$({ "$LOADER" reg query "$classes\\.htm" /ve 2>/dev/null || true; } | tr -d '\r' |
    sed -n 's/.*REG_SZ[[:space:]]*\(.*\)$/\1/p')
restore_classes() {
    "$LOADER" reg delete "$classes\\$progid" /f >/dev/null 2>&1 || true
    if [ -n "$previous_type" ]; then
        "$LOADER" reg add "$classes\\.htm" /ve /d "$previous_type" /f >/dev/null 2>&1 || true
    else
        "$LOADER" reg delete "$classes\\.htm" /f >/dev/null 2>&1 || true
    fi
}
on_exit restore_classes
"$LOADER" reg add "$classes\\.htm" /ve /d $progid /f >/dev/null 2>&1
"$LOADER" reg add "$classes\\$progid\\shell\\open\\command" /ve /d "\"$stand_in\" \"%1\"" /f \
    >/dev/null 2>&1

starts() { [ -f "$WENDREL_STAND_IN_LOG" ] && wc -l <"$WENDREL_STAND_IN_LOG" || echo 0; }
started() { [ "$(starts)" -ge "$1" ]; }
wait_starts() { wait_until 10 "the program for web pages started $(starts) times within 10 s, not $1" started "$1"; }

rm -f "$WENDREL_STAND_IN_LOG"
open_dialog
xdotool key alt+g
wait_starts 1
[ ! -e "$WORK/cwd/aaa.htm" ] || fail "aaa.htm was left behind"
xdotool key alt+g
wait_starts 2
sleep 1
[ ! -e "$WORK/cwd/aaa.htm" ] || fail "aaa.htm was left behind"
printf '<p>mine</p>\n' >"$WORK/cwd/aaa.htm"
cp "$WORK/cwd/aaa.htm" "$WORK/mine.htm"
xdotool key alt+g
wait_starts 3
sleep 1
cmp -s "$WORK/cwd/aaa.htm" "$WORK/mine.htm" || fail "an existing aaa.htm was changed or removed"
# The dialog is still open and nothing is stored yet.
e2e_saver_running || fail "the dialog closed after the home-page button"
expect_stored "" "after three clicks on the home page"
close_with Escape
sleep 1
[ "$(starts)" -eq 3 ] || fail "the program for web pages started $(starts) times, not 3"
tr -d '\r' <"$WENDREL_STAND_IN_LOG" | grep -vqx '1|www.tavrin.example' &&
    fail "the program for web pages was started with: $(cat "$WENDREL_STAND_IN_LOG")"
e2e_log "the home page opened once per click with the address alone"
