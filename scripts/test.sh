#!/bin/bash
# Builds every target (Linux, Windows 32- and 64-bit) and runs every test,
# then the packages, the sanitizer builds and the fuzz run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh
for preset in linux windows-i686 windows-x86_64; do
    echo "=== $preset ==="
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    scripts/ctest-run.sh "$preset"
done
# The installers and the Debian package, built and tried for real.
echo "=== packages ==="
scripts/release.sh
tests/packaging/run.sh
# The Linux suite again under AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer (with the soak runs of wendrel-render), then every test that
# starts a thread under ThreadSanitizer, then a minute of fuzzing the picture
# decoder.
for preset in linux-asan linux-tsan; do
    echo "=== $preset ==="
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    scripts/ctest-run.sh "$preset"
done
echo "=== fuzz ==="
scripts/fuzz.sh 60
echo "All tests passed."
