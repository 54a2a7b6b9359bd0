#!/bin/bash
# saver-cpu.sh [WIDTHxHEIGHT] [MODE] [SECONDS] [MONITORS]: what the running
# saver costs. Starts a private Xvfb of that size (default 1920x1080), or
# with MONITORS (1 or 2) the dummy Xorg with that many monitors of that size
# side by side (there `s` is the stretch path: NoDirect is set), runs `wendrel MODE`
# there (s, --root or window; default s), or with MODE scr the Windows saver
# `wendrel.scr /s` under Wine, and, after a few seconds to settle, reads
# from /proc/PID/stat over SECONDS (default 10) the CPU time of the saver
# process and of the X server. Prints each as a share of one core, the
# ticks per second the saver reached (two screenshots, one before and one
# after, each matched to the engine tick it shows by wendrel-frame-match),
# and each process's CPU time per tick, the figure that changes least when
# other programs share the machine.
#
#   bench/saver-cpu.sh 1920x1080 s 10
#   bench/saver-cpu.sh 1920x1080 s 10 2      # two monitors
#
#   WENDREL_SCR=build/windows-x86_64/app/windows/wendrel.scr bench/saver-cpu.sh 1920x1080 scr 10
#
# saver-cpu.sh --wayland [WIDTHxHEIGHT] [SECONDS]: the Wayland front end
# beside the X11 one, in one run: `wendrel s` and `wendrel --background` on
# sway headless (pixman) with one and with two outputs of that size side by
# side, then `wendrel s` (the stretch path) on the dummy Xorg with one and
# two monitors. On Wayland the compositor's share stands where the X
# server's does; pixman scales each output's frame on the CPU there, as real
# compositors do on the GPU. sway refuses root: as root, it and the saver
# run as nobody.
#
# WENDREL, WENDREL_SCR and FRAME_MATCH name the programs (default: the linux
# and windows-x86_64 builds); WINEPREFIX, when set, a Wine prefix to use
# (made when missing). Under Wine the saver's figure is its own process;
# wineserver's CPU time is given beside it.
# Not a test: figures depend on the machine and on what else runs on it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
source "$top/tests/support/shell_lib.sh"

usage() {
    echo "usage: bench/saver-cpu.sh [WIDTHxHEIGHT] [s|--root|window|scr] [SECONDS] [1|2]" >&2
    echo "       bench/saver-cpu.sh --wayland [WIDTHxHEIGHT] [SECONDS]" >&2
    exit 2
}

# wayland_run SIZE MODE SECONDS OUTPUTS: one measurement on sway headless.
wayland_run() {
    local size=$1 mode=$2 span=$3 outputs=$4 width=${1%x*} user=() rt compositor saver first
    work=$(mktemp -d /tmp/wendrel-cpu.XXXXXX)
    chmod 755 "$work"
    cp "$WENDREL" "$work/wendrel"
    chmod 755 "$work/wendrel"
    rt=$work/runtime
    mkdir -m 700 "$rt"
    if [ "$(id -u)" = 0 ]; then
        chown nobody:nogroup "$rt"
        user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
    fi
    printf 'xwayland disable\noutput HEADLESS-1 resolution %s position 0 0\noutput HEADLESS-2 resolution %s position %s 0\n' \
        "$size" "$size" "$width" >"$work/sway.conf"
    chmod 644 "$work/sway.conf"
    (
        unset DISPLAY WAYLAND_DISPLAY WENDREL_BACKEND
        export XDG_RUNTIME_DIR=$rt HOME=$rt XDG_CONFIG_HOME=$rt/config
        export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
        WLR_HEADLESS_OUTPUTS=$outputs "${user[@]}" sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
        compositor=$!
        saver=
        cleanup() {
            [ -z "$saver" ] || stop_process "$saver"
            stop_process "$compositor"
            rm -rf "$work"
        }
        on_exit cleanup
        sway_up() { [ -S "$rt/wayland-1" ]; }
        wait_until 10 "sway did not start: $(cat "$work/sway.log")" sway_up
        export WAYLAND_DISPLAY=wayland-1
        first=$(date +%s)
        "${user[@]}" "$work/wendrel" "$mode" >"$work/saver.out" 2>"$work/saver.err" &
        saver=$!
        sleep 3
        kill -0 "$saver" 2>/dev/null || fail "wendrel ended early: $(cat "$work/saver.err")"
        shoot() { "${user[@]}" grim -o HEADLESS-1 "$rt/$1.png"; }
        seed_and_tick() {
            "$FRAME_MATCH" "$rt/$1.png" --seeds "$2" --max-ticks $((($(date +%s) - first + 2) * 100)) |
                sed -n 's/^match: seed \([0-9]*\) tick \([0-9]*\) .*/\1 \2/p' | head -1
        }
        t0=$(now)
        shoot a
        t1=$(now)
        s0=$(cpu_ticks "$saver")
        c0=$(cpu_ticks "$compositor")
        sleep "$span"
        s1=$(cpu_ticks "$saver")
        c1=$(cpu_ticks "$compositor")
        wall=$(awk -v a="$t1" -v b="$(now)" 'BEGIN { print b - a }')
        t2=$(now)
        shoot b
        t3=$(now)
        read -r seed ta <<<"$(seed_and_tick a "$first:$(date +%s)")" || true
        tb=
        [ -z "${ta:-}" ] || read -r _ tb <<<"$(seed_and_tick b "$seed:$seed")" || true
        report "$mode" "sway headless, $outputs x $size" "$wall" "$s0" "$s1" "$c0" "$c1" "compositor" \
            "${ta:-}" "${tb:-}" "$t0" "$t1" "$t2" "$t3" || true
    )
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
now() { date +%s.%N; }

# report MODE WHERE WALL S0 S1 X0 X1 SERVER-NAME TICK-A TICK-B T0 T1 T2 T3
report() {
    awk -v mode="$1" -v size="$2" -v wall="$3" -v s0="$4" -v s1="$5" -v x0="$6" -v x1="$7" \
        -v server="$8" -v ta="$9" -v tb="${10}" -v t0="${11}" -v t1="${12}" -v t2="${13}" \
        -v t3="${14}" -v hz="$(getconf CLK_TCK)" 'BEGIN {
        printf "wendrel %s on %s, %.1f s\n", mode, size, wall
        printf "saver:      %5.1f%% of one core (%.2f s CPU)\n", 100 * (s1 - s0) / hz / wall, (s1 - s0) / hz
        printf "%-11s %5.1f%% of one core (%.2f s CPU)\n", server ":", 100 * (x1 - x0) / hz / wall, (x1 - x0) / hz
        if (ta == "" || tb == "") {
            print "ticks:      unknown (a screenshot matched no frame)"
            exit 1
        }
        rate = (tb - ta) / (((t2 + t3) - (t0 + t1)) / 2)
        printf "ticks:      %5.1f per second (tick %d to %d)\n", rate, ta, tb
        if (rate > 0)
            printf "per tick:   saver %.0f us, %s %.0f us\n", 1e6 * (s1 - s0) / hz / wall / rate,
                   server, 1e6 * (x1 - x0) / hz / wall / rate
    }'
}

if [ "${1:-}" = --wayland ]; then
    size=${2:-1920x1080}
    span=${3:-10}
    [[ $size =~ ^[0-9]+x[0-9]+$ ]] && [[ $span =~ ^[0-9]+$ ]] && [ "$span" -gt 0 ] || usage
    export WENDREL=${WENDREL:-$top/build/linux/app/linux/wendrel}
    export FRAME_MATCH=${FRAME_MATCH:-$top/build/linux/tests/support/wendrel-frame-match}
    for program in "$WENDREL" "$FRAME_MATCH"; do
        [ -x "$program" ] || { echo "saver-cpu: no program $program (build the linux preset)" >&2; exit 1; }
    done
    for tool in sway grim; do
        command -v "$tool" >/dev/null || { echo "saver-cpu: $tool is not installed" >&2; exit 1; }
    done
    echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
    for outputs in 1 2; do
        for mode in s --background; do
            wayland_run "$size" "$mode" "$span" "$outputs" || true
            echo
        done
    done
    for monitors in 1 2; do
        "$0" "$size" s "$span" "$monitors" || true
        echo
    done
    exit 0
fi

if [ "${1:-}" != --inside ]; then
    size=${1:-1920x1080}
    mode=${2:-s}
    span=${3:-10}
    monitors=${4:-}
    [[ $size =~ ^[0-9]+x[0-9]+$ ]] || usage
    case $monitors in '' | 1 | 2) ;; *) usage ;; esac
    [[ $span =~ ^[0-9]+$ ]] && [ "$span" -gt 0 ] || usage
    case $mode in s | --root | window | scr) ;; *) usage ;; esac
    export WENDREL=${WENDREL:-$top/build/linux/app/linux/wendrel}
    export WENDREL_SCR=${WENDREL_SCR:-$top/build/windows-x86_64/app/windows/wendrel.scr}
    export FRAME_MATCH=${FRAME_MATCH:-$top/build/linux/tests/support/wendrel-frame-match}
    saver_program=$WENDREL
    [ "$mode" = scr ] && saver_program=$WENDREL_SCR
    for program in "$saver_program" "$FRAME_MATCH"; do
        [ -x "$program" ] || { echo "saver-cpu: no program $program (build the linux preset)" >&2; exit 1; }
    done
    for tool in Xvfb xdotool import xdpyinfo; do
        command -v "$tool" >/dev/null || { echo "saver-cpu: $tool is not installed" >&2; exit 1; }
    done
    if [ -n "$monitors" ]; then
        exec "$top/tests/support/with-x-server.sh" dummy --second right-of -- \
            "$0" --inside "$size" "$mode" "$span" "$monitors"
    fi
    exec "$top/tests/support/with-x-server.sh" xvfb "$size" -- "$0" --inside "$size" "$mode" "$span"
fi

size=$2
mode=$3
span=$4
monitors=${5:-}
server_name="Xvfb $size"
if [ -n "$monitors" ]; then
    # A mode of that size for the dummy outputs: 60 Hz with small blanking
    # intervals, well inside the configured sync ranges.
    width=${size%x*}
    height=${size#*x}
    htotal=$((width + 160)) vtotal=$((height + 30))
    clock=$(awk -v h="$htotal" -v v="$vtotal" 'BEGIN { printf "%.2f", h * v * 60 / 1e6 }')
    xrandr --newmode "$size" "$clock" "$width" $((width + 48)) $((width + 112)) "$htotal" \
        "$height" $((height + 3)) $((height + 8)) "$vtotal" -hsync +vsync 2>/dev/null || true
    xrandr --addmode DUMMY0 "$size" && xrandr --addmode DUMMY1 "$size"
    if [ "$monitors" = 2 ]; then
        xrandr --output DUMMY0 --mode "$size" --primary --pos 0x0 \
            --output DUMMY1 --mode "$size" --pos "${width}x0"
    else
        xrandr --output DUMMY1 --off --output DUMMY0 --mode "$size" --primary --pos 0x0
    fi
    xrandr >/dev/null  # the server's current resources, up to date
    active=$(xrandr --listactivemonitors | sed -n 's/^Monitors: //p')
    [ "$active" = "$monitors" ] || { echo "saver-cpu: $active monitors, not $monitors" >&2; exit 1; }
    server_name="the dummy Xorg, $monitors x $size"
fi
work=$(mktemp -d /tmp/wendrel-cpu.XXXXXX)
export XDG_CONFIG_HOME=$work/config
unset XSCREENSAVER_WINDOW
if [ -n "$monitors" ]; then
    # The dummy server offers 640x480: measure the stretch path.
    mkdir -p "$XDG_CONFIG_HOME/Tavrin Screen Savers"
    printf '[LEAF]\nNoDirect=1\n' >"$XDG_CONFIG_HOME/Tavrin Screen Savers/wendrel.conf"
fi
saver=
if [ "$mode" = scr ]; then
    # The given prefix, or one of its own, made before the clock starts.
    export WINEPREFIX=${WINEPREFIX:-$work/wineprefix} WINEDEBUG=-all
    source "$top/scripts/wine-env.sh"
    wine_boot || true
fi
cleanup() {
    [ -z "$saver" ] || kill "$saver" 2>/dev/null || true
    [ "$mode" != scr ] || wineserver -k 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
on_exit cleanup

# The server's process id is in its lock file.
number=${DISPLAY#:}
number=${number%%.*}
server=$(tr -d ' \n' <"/tmp/.X$number-lock")
[ -d "/proc/$server" ] || fail "cannot find the X server's process"

xdotool mousemove 0 0
first=$(date +%s)
if [ "$mode" = scr ]; then
    "$top/scripts/wine-run.sh" "$WENDREL_SCR" /s >"$work/saver.out" 2>"$work/saver.err" &
else
    "$WENDREL" "$mode" >"$work/saver.out" 2>"$work/saver.err" &
fi
saver=$!
shot=root
saver_shows() {
    # Under Wine the window's name is Wine's business: wait for the process
    # to run its animation thread beside the window's.
    [ "$mode" = scr ] && [ "$(ls "/proc/$saver/task" 2>/dev/null | wc -l)" -ge 3 ] && return 0
    kill -0 "$saver" 2>/dev/null || fail "wendrel ended early: $(cat "$work/saver.err")"
    if [ "$mode" = --root ]; then
        # The hack makes no window: wait for its animation thread.
        [ "$(ls "/proc/$saver/task" | wc -l)" -ge 2 ]
    else
        id=$(xdotool search --onlyvisible --name '^Wendrel$' 2>/dev/null | head -1 || true)
        [ -n "$id" ] || return 1
        [ "$mode" != window ] || shot=$id
    fi
}
# After 10 s the figures are taken all the same (the screenshots tell).
poll_until 10 saver_shows || true
# Leaves in view, so that the first screenshot matches one tick only.
sleep 3
kill -0 "$saver" 2>/dev/null || fail "wendrel ended early: $(cat "$work/saver.err")"
if [ -n "$monitors" ] && [ "$mode" = s ]; then
    windows=$(xdotool search --onlyvisible --name '^Wendrel$' | wc -l)
    [ "$windows" = "$monitors" ] || fail "wendrel made $windows windows for $monitors monitors"
fi

t0=$(now)
import -window "$shot" "$work/a.png"
t1=$(now)
# Only under Wine: another wineserver on the machine is not ours to count.
wineserver=
[ "$mode" != scr ] || wineserver=$(pgrep -n -x wineserver64 || pgrep -n -x wineserver || true)
w0=0 w1=0
s0=$(cpu_ticks "$saver")
x0=$(cpu_ticks "$server")
[ -z "$wineserver" ] || w0=$(cpu_ticks "$wineserver")
sleep "$span"
s1=$(cpu_ticks "$saver")
x1=$(cpu_ticks "$server")
[ -z "$wineserver" ] || w1=$(cpu_ticks "$wineserver")
wall=$(awk -v a="$t1" -v b="$(now)" 'BEGIN { print b - a }')
last=$(date +%s)

# Xvfb has no 640x480 mode, and the dummy server runs with NoDirect: every
# mode runs at the windowed pace.
# On several monitors the primary's picture is matched.
rect=()
[ -z "$monitors" ] || rect=(--rect "0,0,${size/x/,}")
seed_and_tick() {
    "$FRAME_MATCH" "$1" --seeds "$2" --max-ticks $(((last - first + 2) * 100)) "${rect[@]}" "${@:3}" |
        sed -n 's/^match: seed \([0-9]*\) tick \([0-9]*\) .*/\1 \2/p' | head -1
}
# The hack mixes its process id into the seed; the seed found is the mixed one.
pid=()
[ "$mode" != --root ] || pid=(--pid "$saver")
read -r seed ta <<<"$(seed_and_tick "$work/a.png" "$first:$last" "${pid[@]}")" || true
# The second screenshot is matched in the first one's seed, after its
# tick; one that shows no leaf (and so matches an early tick) is taken
# again.
tb=
for attempt in 1 2 3 4 5; do
    t2=$(now)
    import -window "$shot" "$work/b.png"
    t3=$(now)
    [ -n "$ta" ] || break
    read -r _ tb <<<"$(seed_and_tick "$work/b.png" "$seed:$seed")" || true
    [ -n "$tb" ] && [ "$tb" -gt "$ta" ] && break
    tb=
    sleep 0.5
done
stop_process "$saver"
saver=

hz=$(getconf CLK_TCK)
awk -v s0="$s0" -v s1="$s1" -v x0="$x0" -v x1="$x1" -v w0="$w0" -v w1="$w1" -v hz="$hz" -v t0="$t0" -v t1="$t1" \
    -v t2="$t2" -v t3="$t3" -v span="$wall" -v ta="$ta" -v tb="$tb" -v size="$server_name" -v mode="$mode" 'BEGIN {
    wall = span
    printf "wendrel %s on %s, %.1f s\n", mode, size, wall
    printf "saver:    %5.1f%% of one core (%.2f s CPU)\n", 100 * (s1 - s0) / hz / wall, (s1 - s0) / hz
    printf "X server: %5.1f%% of one core (%.2f s CPU)\n", 100 * (x1 - x0) / hz / wall, (x1 - x0) / hz
    if (mode == "scr")
        printf "wineserver: %5.1f%% of one core (%.2f s CPU)\n", 100 * (w1 - w0) / hz / wall, (w1 - w0) / hz
    if (ta == "" || tb == "") {
        print "ticks:    unknown (a screenshot matched no frame)"
        exit 1
    }
    between = ((t2 + t3) - (t0 + t1)) / 2
    rate = (tb - ta) / between
    printf "ticks:    %5.1f per second (tick %d to %d)\n", rate, ta, tb
    if (rate > 0)
        printf "per tick: saver %.0f us, X server %.0f us\n", 1e6 * (s1 - s0) / hz / wall / rate,
               1e6 * (x1 - x0) / hz / wall / rate
}'
