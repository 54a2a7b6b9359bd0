#!/bin/bash
# Builds every target (Linux, Windows 32- and 64-bit) and runs every test,
# then the packages, the sanitizer builds and the fuzz run.
#
# Every stage runs even after one has failed; a stage whose build fails is
# counted as failed, and the stages that need that build do not run. The
# last lines give each stage's result and time, every skipped test with its
# reason and every failed test; the exit status is 1 when anything failed.
#
# The tests mostly wait (on X servers, Wine, timeouts), so while one stage's
# tests run, the next stage's preset is built beside them at a low priority;
# its output is shown when its turn comes.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build

# The stages in order. Each is a function stage_NAME (with _ for -); the
# preset it builds first, if any, is in preset_of, and a stage that needs
# another stage's build names it in needs.
stages=(format linux windows-i686 windows-x86_64 web packages asan tsan fuzz)
declare -A preset_of=(
    [linux]=linux [windows-i686]=windows-i686 [windows-x86_64]=windows-x86_64
    [web]=web [asan]=linux-asan [tsan]=linux-tsan [fuzz]=linux-fuzz
)
# The Windows end-to-end tests use the linux build's wendrel-frame-match.
declare -A needs=([windows-i686]=linux [windows-x86_64]=linux)

stage_format() { scripts/check-format.sh; }
stage_linux() { scripts/ctest-run.sh linux; }
stage_windows_i686() { scripts/ctest-run.sh windows-i686; }
stage_windows_x86_64() { scripts/ctest-run.sh windows-x86_64; }
# The web page: the engine under node, the page in Chromium.
stage_web() { scripts/test-web.sh; }
# The installers and the Debian package, built and tried for real.
stage_packages() { WENDREL_DEPS_READY=1 scripts/release.sh && tests/packaging/run.sh; }
# The Linux suite again under AddressSanitizer, UndefinedBehaviorSanitizer
# and LeakSanitizer (with the soak runs of wendrel-render), then every test
# that starts a thread under ThreadSanitizer, then a minute of fuzzing the
# picture decoder.
stage_asan() { scripts/ctest-run.sh linux-asan; }
stage_tsan() { scripts/ctest-run.sh linux-tsan; }
stage_fuzz() { scripts/fuzz.sh 60; }

declare -A building=() result=() took=()

build_ahead() {
    [ -z "${building[$1]:-}" ] || return 0
    # In a session of its own, so that the whole build can be stopped.
    # shellcheck disable=SC2016  # expanded by the inner shell
    setsid nice -n 10 bash -c 'cmake --preset "$1" && cmake --build --preset "$1"' build "$1" \
        >"build/$1.build.log" 2>&1 &
    building[$1]=$!
}

# Waits for a build started ahead, or builds now.
build_preset() {
    local log="build/$1.build.log" status=0
    if [ -n "${building[$1]:-}" ]; then
        wait "${building[$1]}" || status=$?
        unset "building[$1]"
        cat "$log"
        return $status
    fi
    cmake --preset "$1" && cmake --build --preset "$1"
}

# A build started ahead is not left running when the script is stopped.
stop_builds() {
    local pid
    for pid in "${building[@]}"; do
        kill -- "-$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -f "${WENDREL_TEST_RESULTS:-}"
}
trap stop_builds EXIT

# run_stage INDEX: builds stage INDEX's preset, starts building the next
# preset, runs the stage; sets result[stage].
run_stage() {
    local stage=${stages[$1]} preset=${preset_of[${stages[$1]}]:-} need=${needs[${stages[$1]}]:-} j
    if [ -n "$need" ] && [ "${result[$need]:-}" = "build failed" ]; then
        result[$stage]="not run: the $need build failed"
        return
    fi
    if [ -n "$preset" ] && ! build_preset "$preset"; then
        echo "test.sh: building $preset failed" >&2
        result[$stage]="build failed"
        return
    fi
    for ((j = $1 + 1; j < ${#stages[@]}; j++)); do
        if [ -n "${preset_of[${stages[$j]}]:-}" ]; then
            build_ahead "${preset_of[${stages[$j]}]}"
            break
        fi
    done
    if "stage_${stage//-/_}"; then
        result[$stage]=passed
    else
        result[$stage]=FAILED
    fi
}

scripts/install-deps.sh
# scripts/ctest-run.sh adds a line per failed or skipped test here.
WENDREL_TEST_RESULTS=$(mktemp "${TMPDIR:-/tmp}/wendrel-test-results.XXXXXX")
export WENDREL_TEST_RESULTS
begin=$SECONDS
for i in "${!stages[@]}"; do
    echo "=== ${stages[$i]} ==="
    start=$SECONDS
    run_stage "$i"
    took[${stages[$i]}]=$((SECONDS - start))
done

duration() { printf '%d:%02d' $(($1 / 60)) $(($1 % 60)); }
echo "=== summary ==="
failures=0
for stage in "${stages[@]}"; do
    printf '    %-16s %7s  %s\n' "$stage" "$(duration "${took[$stage]}")" "${result[$stage]}"
    [ "${result[$stage]}" = passed ] || failures=$((failures + 1))
done
printf '    %-16s %7s\n' total "$(duration $((SECONDS - begin)))"
if grep -q '^skipped' "$WENDREL_TEST_RESULTS"; then
    echo "Skipped tests:"
    sed -n 's/^skipped \([^ ]*\) \([^ ]*\) /    \1: \2: /p' "$WENDREL_TEST_RESULTS"
fi
if grep -q '^failed' "$WENDREL_TEST_RESULTS"; then
    echo "Failed tests:"
    sed -n 's/^failed \([^ ]*\) /    \1: /p' "$WENDREL_TEST_RESULTS"
fi
if [ $failures -gt 0 ]; then
    echo "test.sh: $failures of ${#stages[@]} stages did not pass" >&2
    exit 1
fi
echo "All tests passed."
