#!/bin/bash
# make-preview.sh [RENDER [OUT]]: the README's moving picture (default
# docs/preview.gif): five seconds of seed 4 at 640x480, from the frames of
# wendrel-render (default: the linux build's), every fourth tick shown for
# 4/100 s, so at the pace of the saver's 10 ms ticks. The same renderer and
# ImageMagick give the same file, byte for byte.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
render=$(readlink -f "${1:-$top/build/linux/app/render/wendrel-render}")
out=$(readlink -f "${2:-$top/docs/preview.gif}")
[ -x "$render" ] || {
    echo "make-preview: no $render (cmake --build --preset linux --target wendrel-render)" >&2
    exit 1
}
# The clip starts once the first leaves have come down into the picture.
seed=4 first=740 ticks=500 every=4
work=$(mktemp -d "${TMPDIR:-/tmp}/wendrel-preview.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$render" --ticks $((first + ticks)) --seed $seed --every $every --out "$work/frames"
frames=()
for ((t = first + every; t <= first + ticks; t += every)); do
    frames+=("$(printf '%s/frames/frame-%06d.bmp' "$work" $t)")
done
# One palette for the whole clip, from frames spread over it, mapped without
# dithering: the still road then stays the same from frame to frame, and
# each frame after the first holds only what the leaves changed.
samples=()
for ((i = 0; i < ${#frames[@]}; i += 25)); do samples+=("${frames[$i]}"); done
convert "${samples[@]}" -append +dither -colors 256 -unique-colors "$work/palette.png"
convert -delay $every "${frames[@]}" +dither -remap "$work/palette.png" -layers OptimizeTransparency \
    -loop 0 "$work/preview.gif"
mv "$work/preview.gif" "$out"
echo "make-preview: $out, ${#frames[@]} frames, $(stat -c %s "$out") bytes"
