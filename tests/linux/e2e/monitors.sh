#!/bin/bash
# monitors.sh stretch|exclusive|kill|root|hotplug|blanking WHERE: `wendrel`
# on an X server with two monitors (with-x-server.sh dummy --second WHERE).
# stretch, exclusive: `wendrel s` covers each monitor (the frame stretched
# on both, or unscaled on the 640x480 primary and black on the other),
# hides a white window on the second monitor, keeps running when the focus
# goes from one of its windows to another and when the pointer crosses the
# seam a little, ends on a move (stretch) or a key (exclusive) with the
# pointer on the second monitor, and leaves the layout exactly as before.
# kill: after SIGKILL of the exclusive saver, the watcher restores the
# layout. root: `wendrel --root` draws a whole frame on each monitor, also
# after the second is switched off and on. hotplug: `wendrel s` ends
# cleanly when a monitor is switched off, and when one is switched on.
# blanking: the X server's own screen saver still starts while `wendrel s`
# runs.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# layout: the screen size, and each output's mode and place.
layout() {
    xrandr | grep -E '^Screen|^DUMMY[0-9]+ connected' | sed 's/maximum.*//'
}

layout_is_before() { [ "$(layout)" = "$before" ]; }

# monitors: one line per active monitor, primary first: "X Y W H".
monitors() {
    xrandr --listactivemonitors | sed -n 's|^ *[0-9]*: +\(\*\?\)[^ ]* \([0-9]*\)/[0-9]*x\([0-9]*\)/[0-9]*+\([0-9]*\)+\([0-9]*\) .*|\1 \4 \5 \2 \3|p' |
        sort -r | cut -d' ' -f2-
}

# expect_black X Y W H: that part of the screenshot is black throughout.
expect_black() {
    local max
    max=$(convert "$work/shot.png" -crop "$3x$4+$1+$2" +repage -format '%[max]' info:)
    [ "$max" = 0 ] || fail "the monitor at $1,$2 is not black (brightest value $max)"
}

# rect_of P|S: that monitor's rectangle as X,Y,W,H.
rect_of() {
    local -n of=$1
    (IFS=,; echo "${of[*]}")
}

# shoot RECT...: a screenshot once the saver has drawn in each rectangle,
# and the seeds and ticks since $first.
shoot() {
    screenshot "$work/shot.png" "$@"
    last=$(date +%s)
    ticks=$(((last - first + 1) * 100))
}

# match_monitor P|S: the screenshot's crop of that monitor is a whole frame
# of the run (the frame stretched to the monitor).
match_monitor() {
    match_frame "$work/shot.png" "$first" "$last" "$ticks" --rect "$(rect_of "$1")" "${pid[@]}"
}

# set_monitors: the primary in P (X Y W H), the second in S.
set_monitors() {
    mapfile -t all < <(monitors)
    [ "${#all[@]}" = 2 ] || fail "${#all[@]} monitors, not 2: $(xrandr --listactivemonitors)"
    read -r -a P <<<"${all[0]}"
    read -r -a S <<<"${all[1]}"
}

where=$2
pid=()
# (xrandr's full query also brings the server's current resources, which
# SDL reads, up to date with the second monitor.)
before=$(layout)
set_monitors
if [ "$1" = stretch ] || [ "$1" = hotplug ] || [ "$1" = blanking ]; then
    mkdir -p "$XDG_CONFIG_HOME/Tavrin Screen Savers"
    printf '[LEAF]\nNoDirect=1\n' >"$XDG_CONFIG_HOME/Tavrin Screen Savers/wendrel.conf"
fi
# On the second monitor next to the seam, and 4 pixels on both axes from
# there, across the seam.
case $where in
right-of) seam=("$((S[0] + 2))" 300) cross=("$((S[0] - 2))" 304) ;;
left-of) seam=("$((P[0] - 3))" 300) cross=("$((P[0] + 1))" 304) ;;
below) seam=(300 "$((S[1] + 2))") cross=(304 "$((S[1] - 2))") ;;
*) fail "unknown layout $where" ;;
esac

case $1 in
stretch | exclusive)
    coproc WHITE { exec "$TEST_WINDOW" 600x400 --white --at "$((S[0] + 100)),$((S[1] + 100))"; }
    helper=$WHITE_PID
    read -r -t 10 _ <&"${WHITE[0]}" || fail "no white window"
    xdotool mousemove "${seam[@]}"
    first=$(date +%s)
    start_saver s
    wait_for_window Wendrel
    mapfile -t ids < <(xdotool search --onlyvisible --name '^Wendrel$')
    [ "${#ids[@]}" = 2 ] || fail "${#ids[@]} saver windows, not 2"
    if [ "$1" = exclusive ]; then
        # The primary alone switched; the second monitor stays where it is.
        set_monitors
        [ "${P[2]}x${P[3]}" = 640x480 ] || fail "the primary is ${P[2]}x${P[3]}, not 640x480"
        shoot "$(rect_of P)"
        match_frame "$work/shot.png" "$first" "$last" "$ticks" --direct --rect "$(rect_of P)"
        expect_black "${S[@]}"
    else
        shoot "$(rect_of P)" "$(rect_of S)"
        match_monitor P
        match_monitor S
    fi
    # The focus passed between our own windows, and a move of 4 pixels
    # across the seam: neither ends it.
    for id in "${ids[@]}"; do
        xdotool windowfocus "$id"
    done
    xdotool mousemove "${cross[@]}"
    expect_running 0.7
    xdotool mousemove "$((S[0] + S[2] / 2))" "$((S[1] + S[3] / 2))"
    if [ "$1" = exclusive ]; then
        # That was a large move: here a key must end it, so start over.
        expect_end 3
        [ "$(layout)" = "$before" ] || fail "the layout after a move: $(layout), not $before"
        xdotool mousemove "$((S[0] + 50))" "$((S[1] + 50))"
        start_saver s
        wait_for_window Wendrel
        xdotool key a
    fi
    expect_end 3
    ;;
kill)
    start_saver s
    wait_for_window Wendrel
    [ "$(layout)" != "$before" ] || fail "the exclusive saver switched no mode"
    kill -KILL "$saver"
    wait "$saver" 2>/dev/null || true
    saver=
    wait_until 3 "the layout is not back 3 s after SIGKILL" layout_is_before
    ;;
root)
    first=$(date +%s)
    start_saver --root
    pid=(--pid "$saver")  # a hack's seed mixes in its process id
    shoot "$(rect_of P)" "$(rect_of S)"
    match_monitor P
    match_monitor S
    # One monitor: one picture over it; both again: one on each.
    xrandr --output DUMMY1 --off
    read -r -a one <<<"$(monitors)"
    shoot "$(rect_of one)"
    match_frame "$work/shot.png" "$first" "$last" "$ticks" --rect "$(rect_of one)" "${pid[@]}"
    xrandr --output DUMMY1 --mode 1024x768 --"$where" DUMMY0
    before=$(layout)
    set_monitors
    shoot "$(rect_of P)" "$(rect_of S)"
    match_monitor P
    match_monitor S
    kill -TERM "$saver"
    expect_status 143 3
    ;;
hotplug)
    start_saver s
    wait_for_window Wendrel
    xrandr --output DUMMY1 --off
    expect_end 3
    [ -z "$(xdotool search --onlyvisible --name '^Wendrel$')" ] || fail "a saver window is left"
    start_saver s
    wait_for_window Wendrel
    xrandr --output DUMMY1 --mode 1024x768 --"$where" DUMMY0
    expect_end 3
    ;;
blanking)
    xset s 2 0
    start_saver s
    wait_for_window Wendrel
    sleep 4
    [ "$("$TEST_WINDOW" --saver-state)" = on ] || fail "the X screen saver did not start"
    xdotool key a
    expect_end 3
    xset s default
    ;;
*) fail "unknown case $1" ;;
esac
[ "$(layout)" = "$before" ] || fail "the layout after the end: $(layout), not $before"
echo "passed: $1"
