#!/bin/bash
# build_flags_test.sh CASE: a distribution's own build, configured (not
# built) with build type None and the distribution's CXXFLAGS. Every compile
# command keeps the caller's flags, and has after them the flags that keep
# the floating point reproducible (so that a caller's -ffast-math loses)
# and the hardening; _FORTIFY_SOURCE only where the caller optimises.
#   linux          CXXFLAGS="-O2 -ffast-math ...", native
#   linux-O0       CXXFLAGS="-O0 ...": nothing fortified
#   windows-i686   the 32-bit cross build: SSE2 maths as well
set -euo pipefail
case_=$1
source=$(cd "$(dirname "$0")/../.." && pwd)
source "$source/tests/support/shell_lib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/wendrel-build-flags.XXXXXX")
on_exit rm -rf "$work"
marker=-DWENDREL_CALLERS_MARKER
toolchain=()
expected=(-ffp-contract=off -fno-fast-math -fstack-protector-strong -D_FORTIFY_SOURCE=2)
unexpected=()
case $case_ in
linux) flags="-O2 -ffast-math $marker" ;;
linux-O0)
    flags="-O0 $marker"
    expected=(-ffp-contract=off -fno-fast-math -fstack-protector-strong)
    unexpected=(-D_FORTIFY_SOURCE)
    ;;
windows-i686)
    flags="-O2 -ffast-math $marker"
    toolchain=(-DCMAKE_TOOLCHAIN_FILE="$source/cmake/toolchains/mingw-i686.cmake")
    expected+=(-msse2 -mfpmath=sse)
    ;;
*) fail "$case_: no such case" ;;
esac
CXXFLAGS=$flags cmake -S "$source" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=None "${toolchain[@]}" \
    -DWENDREL_BUILD_TESTS=OFF -DWENDREL_BUILD_BENCHMARKS=OFF >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log" >&2; fail "$case_: configuring failed"; }
grep -qx 'CMAKE_BUILD_TYPE:STRING=None' "$work/CMakeCache.txt" || fail "$case_: the build type None was not kept"

# One "command" line for each C++ source of ours.
grep '"command":.*\.cpp"' "$work/compile_commands.json" >"$work/commands" || true
[ "$(wc -l <"$work/commands")" -ge 20 ] || fail "$case_: only $(wc -l <"$work/commands") compile commands"
# position WORD LINE: the index of WORD among LINE's words, or nothing.
position() { tr ' ' '\n' <<<"$2" | grep -nxF -- "$1" | tail -1 | cut -d: -f1; }
while read -r command; do
    file=$(sed 's/.* -c \([^ "]*\).*/\1/' <<<"$command")
    [ -n "$(position "$marker" "$command")" ] || fail "$case_: $file is compiled without the caller's flags"
    for flag in "${expected[@]}"; do
        at=$(position "$flag" "$command")
        [ -n "$at" ] || fail "$case_: $file is compiled without $flag"
    done
    for flag in "${unexpected[@]}"; do
        ! grep -q -- "$flag" <<<"$command" || fail "$case_: $file is compiled with $flag"
    done
    if [[ $flags = *-ffast-math* ]]; then
        [ "$(position -fno-fast-math "$command")" -gt "$(position -ffast-math "$command")" ] ||
            fail "$case_: in $file the caller's -ffast-math comes after -fno-fast-math"
    fi
done <"$work/commands"
echo "passed: build flags $case_ ($(wc -l <"$work/commands") compile commands)"
