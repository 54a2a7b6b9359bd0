#!/bin/bash
# Builds the Windows screen saver for both architectures and puts the
# release artefacts in build/release: i686/wendrel.scr (the 32-bit saver)
# and x86_64/wendrel.scr.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
out="$PWD/build/release"
rm -rf "$out"
for arch in i686 x86_64; do
    cmake --preset "windows-$arch" >/dev/null
    cmake --build --preset "windows-$arch" --target wendrel
    mkdir -p "$out/$arch"
    cp "build/windows-$arch/app/windows/wendrel.scr" "$out/$arch/wendrel.scr"
done
ls -l "$out"/*/wendrel.scr
