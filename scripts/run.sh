#!/bin/bash
# Builds Wendrel for Linux and starts it in an ordinary window (Esc or the
# close button ends it). Without an X display it says so and exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --without-32-bit
cmake --preset linux >/dev/null
cmake --build --preset linux --target wendrel
exec build/linux/app/linux/wendrel window
