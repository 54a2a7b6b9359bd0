#!/bin/bash
# ctest-run.sh PRESET [CTEST ARGS...]: runs CTest with a test preset, then
# says why each skipped test was skipped (CTest itself shows only that it
# was). A skipping test prints its reason on a line starting "SKIPPED:".
# When WENDREL_TEST_RESULTS names a file (scripts/test.sh), a line for each
# failed test ("failed PRESET NAME (HOW)") and each skipped one ("skipped
# PRESET NAME REASON") is added to it.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
preset=$1
shift
out=$(mktemp)
trap 'rm -f "$out"' EXIT
results=${WENDREL_TEST_RESULTS:-/dev/null}
status=0
ctest --preset "$preset" "$@" 2>&1 | tee "$out" || status=$?
# CTest's closing lists: "  12 - NAME (Failed)", "(Timeout)", "(Skipped)"...
sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (\(.*\))$/\1 (\2)/p' "$out" | sort -u |
    grep -v ' (Skipped)$' | sed "s/^/failed $preset /" >>"$results"
skipped=$(sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$out")
[ -n "$skipped" ] || exit $status
log=$(sed -n 's/^CMAKE_CACHEFILE_DIR:INTERNAL=//p' "build/$preset/CMakeCache.txt" 2>/dev/null)
log=${log:-build/$preset}/Testing/Temporary/LastTest.log
echo "Why they were skipped:"
for name in $skipped; do
    # The test's block runs from "N/M Testing: NAME" to its end marker.
    reason=$(awk -v name="$name" '
        $0 ~ "^[0-9]+/[0-9]+ Testing: " { inside = ($3 == name) }
        inside && /SKIPPED:/ { r = $0; sub(/.*SKIPPED: */, "", r) }
        END { print r }' "$log" 2>/dev/null)
    echo "    $name: ${reason:-no reason given}"
    echo "skipped $preset $name ${reason:-no reason given}" >>"$results"
done
exit $status
