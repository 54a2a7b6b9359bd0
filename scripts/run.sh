#!/bin/bash
# Builds Wendrel for Linux and shows it: renders a short animation with the
# headless renderer into a folder and says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target wendrel-render
out="$PWD/build/animation"
rm -rf "$out"
build/linux/app/render/wendrel-render --ticks 300 --every 3 --format png --out "$out"
echo "Rendered 100 frames of Wendrel into $out (frame-000003.png ... frame-000300.png)."
