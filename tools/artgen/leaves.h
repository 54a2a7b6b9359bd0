// The falling-leaf sprites: eight kinds of autumn leaves drawn from shape functions.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/artgen/bmp_writer.h"

namespace art {

struct LeafSprite {
    int size = 0;
    std::vector<Rgb8> rgb;      // top-down, size*size
    std::vector<uint8_t> mask;  // 1 = leaf, 0 = ground
};

constexpr int kLeafKinds = 8;

// Draws leaf kind 0..7 into a size x size square leaving the given margin.
// When orange_scheme is set the leaf colours are replaced by oranges (used for the program icon).
LeafSprite render_leaf(int kind, int size, int margin, bool orange_scheme = false);

// Sprite as written to disk: leaf pixels keep blue below 127, the ground is pure blue.
std::vector<Rgb8> keyed_pixels(const LeafSprite& leaf);

}  // namespace art
