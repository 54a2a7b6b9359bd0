#!/bin/bash
# every_monitor.sh LAYOUT [hot-plug | dpi-144]
# The saver in full-screen mode on two monitors (the dummy Xorg with DUMMY1
# placed LAYOUT the primary DUMMY0), through GDI and through DirectDraw:
# every monitor is covered, the primary by the usual full-screen window and
# the other by a window showing the same frame stretched to it (GDI) or
# black (DirectDraw at 640x480); a white window of another program on the
# second monitor is hidden; a move, a key or a click over the second monitor
# ends it; afterwards the monitors are as before and nothing of ours is
# left on them.
#   hot-plug: DUMMY1 is switched off and on again while the saver runs.
#   dpi-144:  the same covering with Wine at 144 dpi, and every text of the
#             configuration dialog fits its control there.
source "$(dirname "$0")/e2e_lib.sh"
layout=$1
variant=${2:-}
e2e_init
e2e_need_frame_match

# "NAME X,Y,W,H" per monitor, the primary first, in root coordinates.
monitors() {
    xrandr --listmonitors |
        sed -n 's/^ *[0-9]*: +\(\*\?\)\([A-Z0-9]*\) \([0-9]*\)\/[0-9]*x\([0-9]*\)\/[0-9]*+\([0-9]*\)+\([0-9]*\).*/\1\2 \5,\6,\3,\4/p' |
        sort | tr -d '*'
}
rect_of() { monitors | sed -n "s/^$1 //p"; }

# "X,Y,W,H" of each visible X window of the saver, sorted.
saver_windows() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$SAVER_PID" 2>/dev/null || true); do
        # A window may go between the search and this question.
        eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
        echo "$X,$Y,$WIDTH,$HEIGHT"
    done | sort
}

# True when the saver has exactly one window on each monitor, filling it.
covers_every_monitor() {
    [ "$(monitors | cut -d' ' -f2 | sort)" = "$(saver_windows)" ]
}

covered_or_ended() { e2e_saver_ended || covers_every_monitor; }

# Waits up to 10 seconds for covers_every_monitor, or for the saver's end.
wait_covered() {
    poll_until 10 covered_or_ended ||
        fail "$1: monitors $(monitors | tr '\n' ' ')but saver windows $(saver_windows | tr '\n' ' ')"
}

# Prints the tick that rectangle $2 of screenshot $1 shows ($3: --direct or
# nothing); fails when it shows no engine frame (or two torn apart, as Wine
# shows now and then; see e2e_lib.sh).
match_tick() {
    local out again
    if ! out=$(e2e_find_frame "$1" --rect "$2" ${3:+"$3"}); then
        # A second look tells a picture that stays wrong (ours) from one
        # that passed (a tear); both screenshots are kept.
        sleep 0.5
        e2e_screenshot "${1%.png}-again.png"
        again=$(e2e_find_frame "${1%.png}-again.png" --rect "$2" ${3:+"$3"} | tail -1) || true
        fail "monitor $2 does not show an engine frame: $out; half a second later: $again"
    fi
    echo "$out" | sed -n 's/^match: seed [0-9]* tick \([0-9]*\) .*/\1/p'
}

# True when rectangle $2 of screenshot $1 is black all over.
all_black() {
    local x y w h
    IFS=, read -r x y w h <<<"$2"
    [ "$(convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -format '%[max]' info:)" = 0 ]
}

# The colour of pixel $2,$3 of screenshot $1, as ImageMagick names it.
pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info:; }

# A white window of another program, 300x200 at 100,100 into the second
# monitor; its position is WHITE_X,WHITE_Y.
show_white_window() {
    local x y w h
    IFS=, read -r x y w h <<<"$(rect_of DUMMY1)"
    WHITE_X=$((x + 100))
    WHITE_Y=$((y + 100))
    convert -size 300x200 xc:white "$WORK/white.png"
    display -geometry "+$WHITE_X+$WHITE_Y" "$WORK/white.png" &
    WHITE_PID=$!
    on_exit stop_white_window
    wait_until 10 "the white window did not appear on the second monitor" white_shows before
}
# True when the white window shows in a screenshot (saved as $1.png).
white_shows() {
    e2e_screenshot "$WORK/$1.png"
    [ "$(pixel "$WORK/$1.png" $((WHITE_X + 150)) $((WHITE_Y + 100)))" = FFFFFF ]
}
stop_white_window() { stop_process "${WHITE_PID:-}"; }

restore_dpi() {
    "$LOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
}

# The centre of monitor $1 plus ($2, $3).
centre_of() {
    local x y w h
    IFS=, read -r x y w h <<<"$(rect_of "$1")"
    echo "$((x + w / 2 + $2)) $((y + h / 2 + $3))"
}

# Starts the saver with the pointer over the second monitor's centre and
# gives the full-screen window the focus, as a window manager would; then
# the pointer moves by (+1, +1) there, which must not end it (the first
# position is recorded from either window, in the same coordinates).
start_saver() {
    # shellcheck disable=SC2046
    xdotool mousemove $(centre_of DUMMY1 0 0)
    e2e_start_saver /s
    e2e_wait_window 30 "$SAVER_PID" "no saver window appeared" >/dev/null
    sleep 1
    # The full-screen window is the first the saver makes.
    xdotool windowfocus "$(xdotool search --onlyvisible --pid "$SAVER_PID" | head -1)" 2>/dev/null ||
        true
    sleep 2
    e2e_saver_running || fail "the saver ended on its own"
    wait_covered "after the start"
    # shellcheck disable=SC2046
    xdotool mousemove $(centre_of DUMMY1 1 1)
    sleep 1
    e2e_saver_running || fail "the saver ended after its first mouse position"
}

# Checks the picture on each monitor: the primary shows an engine frame
# ($1: --direct for DirectDraw's unscaled one), the second the same frame
# stretched (GDI) or black (DirectDraw), the white window hidden.
check_pictures() {
    local primary second tick1 tick2
    e2e_screenshot "$WORK/shot.png"
    primary=$(rect_of DUMMY0)
    second=$(rect_of DUMMY1)
    tick1=$(match_tick "$WORK/shot.png" "$primary" "$1")
    if [ "$1" = --direct ]; then
        all_black "$WORK/shot.png" "$second" || fail "the second monitor $second is not black"
        e2e_log "primary $primary shows tick $tick1 unscaled, the second $second is black"
    else
        tick2=$(match_tick "$WORK/shot.png" "$second" "")
        # Both are drawn in the same tick; Wine sends each window's picture
        # to the X server on its own, some 50 ms apart at most.
        [ "$tick1" -ge "$((tick2 - 10))" ] && [ "$tick1" -le "$((tick2 + 10))" ] ||
            fail "the primary shows tick $tick1, the second monitor tick $tick2"
        e2e_log "primary $primary shows tick $tick1, the second $second tick $tick2, stretched"
    fi
}

layout_as_before() { [ "$(monitors)" = "$BEFORE" ]; }

# Waits for the saver's end after $1; then the monitors are as before and
# the white window shows again.
expect_ended() {
    e2e_wait_saver_end 10 "the saver did not end after $1"
    e2e_expect_no_strays
    poll_until 5 layout_as_before ||
        fail "after $1 the monitors are $(monitors | tr '\n' ' ')not $(echo "$BEFORE" | tr '\n' ' ')"
    poll_until 2 white_shows after || fail "after $1 something still hides the white window"
    e2e_log "$1 ended it; the monitors are as before"
}

BEFORE=$(monitors)
[ "$(echo "$BEFORE" | wc -l)" = 2 ] || fail "the server has monitors $BEFORE, not two"
e2e_log "monitors: $(echo "$BEFORE" | tr '\n' ' ')"
show_white_window

case $variant in
'')
    # 1. GDI: the same frame on both; a move of (+7, +7) over the second ends it.
    e2e_set_no_direct 1
    start_saver
    check_pictures ""
    # shellcheck disable=SC2046
    xdotool mousemove $(centre_of DUMMY1 7 7)
    expect_ended "a move of (+7, +7) over the second monitor"
    # 2. A key with the pointer over the second monitor.
    start_saver
    xdotool key a
    expect_ended "a key over the second monitor"
    # 3. DirectDraw: 640x480 on the primary, black on the second; a click
    #    there ends it and the display mode comes back.
    e2e_set_no_direct none
    start_saver
    [ "$(rect_of DUMMY0 | cut -d, -f3,4)" = 640,480 ] ||
        fail "the primary is $(rect_of DUMMY0) while DirectDraw runs"
    check_pictures --direct
    xdotool click 1
    expect_ended "a click over the second monitor"
    ;;
hot-plug)
    # The second monitor goes away and comes back: at every moment either
    # each monitor has its window and no window is elsewhere, or the saver
    # has ended cleanly.
    e2e_set_no_direct 1
    start_saver
    xrandr --output DUMMY1 --off
    sleep 2
    wait_covered "with DUMMY1 switched off"
    xrandr --output DUMMY1 --mode 1024x768 "--$layout" DUMMY0
    sleep 2
    wait_covered "with DUMMY1 back"
    if e2e_saver_running; then
        check_pictures ""
        xdotool key a
        expect_ended "a key after the second monitor came back"
    else
        e2e_wait_saver_end 1 "the saver did not end"
        e2e_log "the saver ended cleanly when the monitors changed"
    fi
    ;;
dpi-144)
    on_exit restore_dpi
    "$LOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
        >/dev/null 2>&1 || fail "cannot set 144 dpi"
    wine_stop_server
    e2e_set_no_direct 1
    start_saver
    check_pictures ""
    xdotool key a
    expect_ended "a key at 144 dpi"
    [ -n "${WENDREL_APP_TESTS:-}" ] || fail "no WENDREL_APP_TESTS"
    WENDREL_EXPECT_DPI=144 WINEDEBUG=-all \
        "$LOADER" "$WENDREL_APP_TESTS" --gtest_filter='ConfigDialog.EveryTextFitsItsControl' ||
        fail "a text of the configuration dialog does not fit at 144 dpi"
    ;;
*) fail "unknown variant '$variant'" ;;
esac
e2e_set_no_direct none
