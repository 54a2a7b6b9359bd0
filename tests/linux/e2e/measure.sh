#!/bin/bash
# measure.sh s|window [SECONDS]: the CPU time of the running saver process
# alone over SECONDS (default 20), and the frame rate it reached, seen from
# outside: two screenshots, each matched to the engine tick it shows.
# Run under tests/support/with-x-server.sh xvfb 1920x1080 --; not a test.
# With DIRECT=1 (on the dummy server, where the exclusive mode is used)
# the frames are searched at that mode's pace.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

mode=$1
span=${2:-20}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$saver/stat"; }
now() { date +%s.%N; }

first=$(date +%s)
start_saver "$mode"
wait_for_window Wendrel
id=root
[ "$mode" = window ] && id=$(xdotool search --onlyvisible --name '^Wendrel$' | head -1)
pace=()
[ "${DIRECT:-0}" = 1 ] && pace=(--direct)
wait_for_frame "$id" "$first" "${pace[@]}"
t0=$(now)
import -window "$id" "$work/a.png"
t1=$(now)
c0=$(cpu_ticks)
sleep "$span"
c1=$(cpu_ticks)
t2=$(now)
import -window "$id" "$work/b.png"
t3=$(now)
last=$(date +%s)
kill -TERM "$saver"
expect_status 143 3  # it ends by the signal

tick_of() {
    "$FRAME_MATCH" "$1" --seeds "$first:$last" --max-ticks $(((last - first + 2) * 100)) "${pace[@]}" |
        sed -n 's/^match: seed [0-9]* tick \([0-9]*\) .*/\1/p'
}
ta=$(tick_of "$work/a.png")
tb=$(tick_of "$work/b.png")
[ -n "$ta" ] && [ -n "$tb" ] || fail "a screenshot matched no frame"
hz=$(getconf CLK_TCK)
awk -v c0="$c0" -v c1="$c1" -v hz="$hz" -v t1="$t1" -v t2="$t2" -v ta="$ta" -v tb="$tb" \
    -v t0="$t0" -v t3="$t3" 'BEGIN {
    cpu = (c1 - c0) / hz; wall = t2 - t1
    printf "CPU: %.2f s in %.2f s = %.1f%% of one core\n", cpu, wall, 100 * cpu / wall
    between = ((t2 + t3) - (t0 + t1)) / 2
    printf "frames: tick %d to tick %d in %.2f s = %.1f frames per second\n",
           ta, tb, between, (tb - ta) / between
}'
