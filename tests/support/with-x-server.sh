#!/bin/bash
# with-x-server.sh xvfb|dummy [WIDTHxHEIGHT[xDEPTH]] [--second WHERE] [--no-shm] -- COMMAND...
# Starts a private X server on a free display, runs COMMAND with DISPLAY
# set to it, then stops the server. xvfb: a virtual screen of the given size
# (default 1920x1080), 24 bits deep unless given as WIDTHxHEIGHTxDEPTH.
# dummy: Xorg with the dummy driver, 1024x768 that can switch to 640x480.
# --second WHERE (dummy only): a second 1024x768 monitor on output DUMMY1,
# placed right-of, left-of or below the primary DUMMY0.
# --no-shm: the server offers no MIT-SHM. Wine hands a window's picture to
# the server in shared memory that it goes on drawing into, and the server
# reads it whenever it gets to it: under load a screenshot then shows rows
# of frames far apart. Without MIT-SHM Wine copies the picture into its
# requests as it hands it over, so the server only ever gets whole frames.
# COMMAND runs as in a desktop session of its own: with a D-Bus session bus
# (dbus-run-session), so that nothing it does starts or reaches another, and
# a private XDG_RUNTIME_DIR, removed with the server.
# Exits with COMMAND's status.
set -euo pipefail
kind=$1
shift
size=1920x1080
second=
extensions=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    case $1 in
    --second) second=${2:-}; shift 2 || { echo "with-x-server: --second needs a place" >&2; exit 2; } ;;
    --no-shm) extensions=(-extension MIT-SHM); shift ;;
    *) size=$1; shift ;;
    esac
done
[ "${1:-}" = "--" ] && shift
case $second in
'' | right-of | left-of | below | above) ;;
*) echo "with-x-server: a second monitor goes right-of, left-of, below or above, not '$second'" >&2; exit 2 ;;
esac
if [ -n "$second" ] && [ "$kind" != dummy ]; then
    echo "with-x-server: only the dummy server has a second monitor" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
source "$here/shell_lib.sh"
screen=${size}x24
[[ $size =~ ^[0-9]+x[0-9]+x[0-9]+$ ]] && screen=$size

server=
# The server's log (in a folder of our own: Xorg keeps an existing log file
# as LOG.old) and the session's runtime directory.
session=$(mktemp -d /tmp/wendrel-x.XXXXXX)
log=$session/server.log
cleanup() {
    # A server that has not gone 10 s after SIGTERM is killed.
    stop_process "$server" 10
}
on_exit rm -rf "$session"
on_exit cleanup

# The server on display $1 has died or answers.
settled() { ! kill -0 "$server" 2>/dev/null || DISPLAY=":$1" xdpyinfo >/dev/null 2>&1; }

# Starts the server on display $1; true once it answers. Another run may
# take the same free-looking display at the same moment: then our server
# dies at once and the caller tries the next number.
start_server() {
    local n=$1
    case $kind in
    xvfb) Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset "${extensions[@]}" >"$log" 2>&1 & ;;
    dummy) Xorg ":$n" -config "$here/xorg-dummy.conf" -noreset -nolisten tcp "${extensions[@]}" \
           -logfile "$log" vt1 -novtswitch -sharevts >/dev/null 2>&1 & ;;
    esac
    server=$!
    poll_until 15 settled "$n" && kill -0 "$server" 2>/dev/null
}

case $kind in
xvfb | dummy) ;;
*) echo "with-x-server: unknown server '$kind'" >&2; exit 2 ;;
esac
display=
for n in $(seq 90 160); do
    [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] || continue
    if start_server "$n"; then
        display=$n
        break
    fi
    if [ -e "/tmp/.X$n-lock" ]; then
        cleanup
        server=
        continue
    fi
    echo "with-x-server: the $kind server did not start:" >&2
    tail -20 "$log" >&2 || true
    exit 1
done
[ -n "$display" ] || { echo "with-x-server: no free display" >&2; exit 1; }
export DISPLAY=":$display"
if [ -n "$second" ]; then
    if ! { xrandr --addmode DUMMY1 1024x768 &&
        xrandr --output DUMMY1 --mode 1024x768 "--$second" DUMMY0 --output DUMMY0 --primary; }; then
        echo "with-x-server: the second monitor could not be switched on" >&2
        exit 1
    fi
    # The dummy driver reports the new output to XRRGetScreenResourcesCurrent
    # (which SDL reads) only after some client has asked for a full query.
    xrandr >/dev/null
fi
export XDG_RUNTIME_DIR=$session/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
status=0
dbus-run-session -- "$@" || status=$?
exit $status
