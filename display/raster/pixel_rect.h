#pragma once

namespace wendrel::display {

// A rectangle of pixels: its top left corner and its size, as the picture
// is seen (y grows downward). Empty when the width or the height is zero.
struct PixelRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    bool operator==(const PixelRect&) const = default;
};

}  // namespace wendrel::display
