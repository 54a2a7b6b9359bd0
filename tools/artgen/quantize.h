// Palette optimisation (median cut refined by k-means) and Floyd-Steinberg dithering.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/artgen/bmp_writer.h"

namespace art {

using ColorF = std::array<double, 3>;  // r, g, b in 0..255 (display space)

// Builds at most max_colors colours that represent the given samples well.
std::vector<Rgb8> build_palette(const std::vector<ColorF>& samples, int max_colors);

// Index of the nearest palette colour.
uint8_t nearest_index(const std::vector<Rgb8>& palette, const ColorF& c);

// Maps a top-down image to palette indices with serpentine Floyd-Steinberg error diffusion.
std::vector<uint8_t> dither_fs(const std::vector<ColorF>& image, int width, int height,
                               const std::vector<Rgb8>& palette);

}  // namespace art
