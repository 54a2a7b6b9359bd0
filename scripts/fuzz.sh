#!/bin/bash
# Fuzzes the picture decoder: scripts/fuzz.sh [SECONDS] runs for that long
# (default 60), scripts/fuzz.sh --runs N for N inputs. Seeds: the packaged
# pictures and the hand-made edge cases of fuzz/make_seeds.cpp. A crash
# fails the run; its input is left in build/linux-fuzz/crashes/ (add it to
# the picture decoder's tests once fixed).
set -euo pipefail
cd "$(dirname "$0")/.."
limit=(-max_total_time="${1:-60}")
if [ "${1:-}" = --runs ]; then
    limit=(-runs="$2")
fi
cmake --preset linux-fuzz >/dev/null
cmake --build --preset linux-fuzz
build=build/linux-fuzz/fuzz
work=$(mktemp -d /tmp/wendrel-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/seeds" build/linux-fuzz/crashes
"$build/wendrel-fuzz-seeds" "$work/seeds"
for picture in res/pictures/*.bmp; do
    cp "$picture" "$work/seeds/"
    tail -c +15 "$picture" >"$work/seeds/$(basename "$picture" .bmp).dib"  # as packaged
done
# Inputs up to 16 KiB: every leaf picture whole, the background cut short
# (the 64 x 48 8-bit seed stands for it whole), and fast runs.
"$build/wendrel_picture_decoder_fuzzer" "${limit[@]}" -max_len=16384 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build/linux-fuzz/crashes/ \
    "$work/corpus" "$work/seeds"
