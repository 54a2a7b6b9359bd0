#!/bin/bash
# Builds every target (Linux, Windows 32- and 64-bit) and runs every test,
# then the packages, the sanitizer builds and the fuzz run.
#
# The tests mostly wait (on X servers, Wine, timeouts), so while one preset's
# tests run, the next preset is built beside them at a low priority; its
# output is shown when its turn comes.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
declare -A building=()

build_ahead() {
    # In a session of its own, so that the whole build can be stopped.
    # shellcheck disable=SC2016  # expanded by the inner shell
    setsid nice -n 10 bash -c 'cmake --preset "$1" && cmake --build --preset "$1"' build "$1" \
        >"build/$1.build.log" 2>&1 &
    building[$1]=$!
}

# Waits for a build started ahead, or builds now.
build_preset() {
    local log="build/$1.build.log"
    if [ -n "${building[$1]:-}" ]; then
        local status=0
        wait "${building[$1]}" || status=$?
        unset "building[$1]"
        cat "$log"
        if [ $status -ne 0 ]; then
            echo "test.sh: building $1 failed" >&2
            exit $status
        fi
        return
    fi
    cmake --preset "$1"
    cmake --build --preset "$1"
}

# A build started ahead is not left running when a stage fails.
stop_builds() {
    local pid
    for pid in "${building[@]}"; do
        kill -- "-$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
}
trap stop_builds EXIT

scripts/install-deps.sh
scripts/check-format.sh
order=(linux windows-i686 windows-x86_64)
for i in "${!order[@]}"; do
    preset=${order[$i]}
    echo "=== $preset ==="
    build_preset "$preset"
    next=${order[$((i + 1))]:-linux-asan}
    build_ahead "$next"
    scripts/ctest-run.sh "$preset"
done
# The web page: the engine under node, the page in Chromium.
echo "=== web ==="
scripts/test-web.sh
# The installers and the Debian package, built and tried for real.
echo "=== packages ==="
scripts/release.sh
tests/packaging/run.sh
# The Linux suite again under AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer (with the soak runs of wendrel-render), then every test that
# starts a thread under ThreadSanitizer, then a minute of fuzzing the picture
# decoder.
echo "=== linux-asan ==="
build_preset linux-asan
build_ahead linux-tsan
scripts/ctest-run.sh linux-asan
echo "=== linux-tsan ==="
build_preset linux-tsan
build_ahead linux-fuzz
scripts/ctest-run.sh linux-tsan
echo "=== fuzz ==="
build_preset linux-fuzz
scripts/fuzz.sh 60
echo "All tests passed."
