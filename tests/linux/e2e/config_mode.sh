#!/bin/bash
# config_mode.sh ok|esc: any first argument other than s, p and window,
# or none, opens the configuration dialog. OK with Alt+D stores NoDirect=1,
# and the next full-screen start leaves the display mode alone; Esc stores
# nothing.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

conf="$XDG_CONFIG_HOME/Tavrin Screen Savers/wendrel.conf"
current_size() {
    xrandr | sed -n 's/.* current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'
}

case $1 in
ok)
    start_saver /c:1234
    wait_for_window "Wendrel configuration"
    xdotool key alt+d
    sleep 0.3
    xdotool key Return
    expect_end 3
    grep -qx 'NoDirect=1' "$conf" || fail "stored: $(cat "$conf" 2>&1)"
    start_saver -S
    wait_for_window Wendrel
    sleep 1
    [ "$(current_size)" = 1024x768 ] || fail "display switched to $(current_size)"
    xdotool key Escape
    expect_end 3
    ;;
esc)
    start_saver
    wait_for_window "Wendrel configuration"
    xdotool key alt+d
    sleep 0.3
    xdotool key Escape
    expect_end 3
    [ ! -e "$conf" ] || fail "stored: $(cat "$conf")"
    ;;
*) fail "unknown case $1" ;;
esac
echo "passed: $1"
