#!/bin/bash
# with-x-server.sh xvfb|dummy [WIDTHxHEIGHT] -- COMMAND...
# Starts a private X server on a free display, runs COMMAND with DISPLAY
# set to it, then stops the server. xvfb: a virtual screen of the given size
# (default 1920x1080). dummy: Xorg with the dummy driver, 1024x768 that can
# switch to 640x480. Exits with COMMAND's status.
set -euo pipefail
kind=$1
shift
size=1920x1080
if [ "${1:-}" != "--" ]; then
    size=$1
    shift
fi
[ "${1:-}" = "--" ] && shift
here=$(cd "$(dirname "$0")" && pwd)

display=
for n in $(seq 90 160); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=$n
        break
    fi
done
[ -n "$display" ] || { echo "with-x-server: no free display" >&2; exit 1; }
log=$(mktemp "/tmp/wendrel-x$display.XXXXXX.log")

case $kind in
xvfb) Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp -noreset >"$log" 2>&1 & ;;
dummy) Xorg ":$display" -config "$here/xorg-dummy.conf" -noreset -nolisten tcp \
       -logfile "$log" vt1 -novtswitch -sharevts >/dev/null 2>&1 & ;;
*) echo "with-x-server: unknown server '$kind'" >&2; exit 2 ;;
esac
server=$!
cleanup() {
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    rm -f "$log"
}
trap cleanup EXIT

export DISPLAY=":$display"
for _ in $(seq 1 100); do
    if xdpyinfo >/dev/null 2>&1; then
        break
    fi
    if ! kill -0 "$server" 2>/dev/null; then
        echo "with-x-server: the $kind server did not start:" >&2
        tail -20 "$log" >&2 || true
        exit 1
    fi
    sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { echo "with-x-server: server not ready" >&2; exit 1; }
status=0
"$@" || status=$?
exit $status
