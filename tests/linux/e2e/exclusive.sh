#!/bin/bash
# exclusive.sh switch|switch-term|nodirect: on a display that offers
# 640x480, `wendrel s` switches to it unless NoDirect is set, and gives the
# display its 1024x768 back when it ends, by a key or by SIGTERM.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

current_size() {
    xrandr | sed -n 's/.* current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'
}

[ "$(current_size)" = 1024x768 ] || fail "display starts at $(current_size)"
want=640x480
case $1 in
switch | switch-term) ;;
nodirect)
    mkdir -p "$XDG_CONFIG_HOME/Tavrin Screen Savers"
    printf '[LEAF]\nNoDirect=1\n' >"$XDG_CONFIG_HOME/Tavrin Screen Savers/wendrel.conf"
    want=1024x768
    ;;
*) fail "unknown case $1" ;;
esac
first=$(date +%s)
start_saver s
wait_for_window Wendrel
[ "$(current_size)" = "$want" ] || fail "display is $(current_size) while running, not $want"
screenshot "$work/shot.png" "0,0,${want/x/,}"
last=$(date +%s)
direct=()
[ "$1" != nodirect ] && direct=(--direct)
# Unscaled in the exclusive mode, stretched over 1024x768 otherwise; the
# pace follows the presenter.
match_frame "$work/shot.png" "$first" "$last" $(((last - first + 1) * 100)) "${direct[@]}"
if [ "$1" = switch-term ]; then
    kill -TERM "$saver"
    expect_status 143 3  # ended by the signal, once the mode is back
else
    xdotool key Escape
    expect_end 3
fi
[ "$(current_size)" = 1024x768 ] || fail "display is $(current_size) after the end"
echo "passed: $1"
