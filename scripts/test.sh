#!/bin/bash
# Builds every target (Linux, Windows 32- and 64-bit) and runs every test,
# then the packages, the sanitizer builds and the fuzz run.
set -euo pipefail
cd "$(dirname "$0")/.."
# Configures, builds and tests one preset.
run_preset() {
    echo "=== $1 ==="
    cmake --preset "$1"
    cmake --build --preset "$1"
    scripts/ctest-run.sh "$1"
}
scripts/install-deps.sh
scripts/check-format.sh
for preset in linux windows-i686 windows-x86_64; do
    run_preset "$preset"
done
# The installers and the Debian package, built and tried for real.
echo "=== packages ==="
scripts/release.sh
tests/packaging/run.sh
# The Linux suite again under AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer (with the soak runs of wendrel-render), then every test that
# starts a thread under ThreadSanitizer, then a minute of fuzzing the picture
# decoder.
run_preset linux-asan
run_preset linux-tsan
echo "=== fuzz ==="
scripts/fuzz.sh 60
echo "All tests passed."
