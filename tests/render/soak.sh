#!/bin/bash
# soak.sh RENDER TICKS [--direct]: a long run of wendrel-render must end with
# status 0 (a sanitizer's report ends it otherwise), with its leaf image set
# built at least once and released at the end.
set -euo pipefail
render=$1 ticks=$2
shift 2
err=$(mktemp /tmp/wendrel-soak.XXXXXX)
trap 'rm -f "$err"' EXIT
start=$(date +%s)
status=0
"$render" --ticks "$ticks" --seed 9 "$@" 2>"$err" || status=$?
if [ "$status" != 0 ]; then
    tail -n 60 "$err" >&2
    echo "FAIL: wendrel-render --ticks $ticks $* ended with status $status" >&2
    exit 1
fi
summary=$(tail -n 1 "$err")
grep -q "tick $ticks of $ticks" "$err" || { echo "FAIL: the run did not reach tick $ticks" >&2; exit 1; }
if ! [[ $summary =~ ^wendrel-render:\ leaf\ image\ set\ built\ ([0-9]+)\ times,\ held\ 0\ times\ at\ exit$ ]]; then
    echo "FAIL: no report of the leaf image set at exit; the run's last line: $summary" >&2
    exit 1
fi
[ "${BASH_REMATCH[1]}" -ge 1 ] || { echo "FAIL: the leaf image set was never built" >&2; exit 1; }
echo "$ticks ticks $* in $(($(date +%s) - start)) s: $summary"
