#!/bin/bash
# The saver in full-screen mode on an X server whose display can switch from
# 1024x768 to 640x480: the DirectDraw set-up succeeds, the display is 640x480
# while the saver runs and 1024x768 again once a key has ended it. With
# "NoDirect" stored as 1 the display stays as it is and GDI serves.
source "$(dirname "$0")/e2e_lib.sh"
e2e_init
e2e_need_frame_match

display_size() { xrandr | sed -n 's/.*current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'; }

display_is() { [ "$(display_size)" = "$1" ]; }

end_with_key() {
    xdotool windowfocus "$1"
    sleep 0.5
    xdotool key space
    e2e_wait_saver_end 10 "the saver did not end after a key"
    e2e_expect_no_strays
}

[ "$(display_size)" = 1024x768 ] || fail "the display starts at $(display_size)"

# 1. Nothing stored: DirectDraw, at 640x480.
e2e_set_no_direct none
e2e_start_saver /s
window=$(e2e_wait_window 30 "$SAVER_PID" "no saver window appeared")
wait_until 10 "the display did not become 640x480 while the saver ran" display_is 640x480
sleep 1
e2e_log "DirectDraw presenter at 640x480: $(e2e_measure_rate --direct) frames per second"
end_with_key "$window"
wait_until 10 "the display did not return to 1024x768 after the saver" display_is 1024x768
e2e_log "DirectDraw switched the display to 640x480 and back"

# 2. NoDirect 1: the display is left alone and GDI stretches the frames.
e2e_set_no_direct 1
e2e_start_saver /s
window=$(e2e_wait_window 30 "$SAVER_PID" "no saver window appeared")
sleep 2
[ "$(display_size)" = 1024x768 ] || fail "NoDirect 1, yet the display is $(display_size)"
e2e_log "GDI presenter at 1024x768: $(e2e_measure_rate) frames per second"
end_with_key "$window"
e2e_set_no_direct none
