#!/bin/bash
# Builds every target (Linux, Windows 32- and 64-bit) and runs every test.
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
echo "All tests passed."
