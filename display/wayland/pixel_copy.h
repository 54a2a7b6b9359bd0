#pragma once

#include <cstdint>

#include "display/raster/pixel_rect.h"

namespace wendrel::display::wayland {

// Copies the rectangle `rect` (upright frame coordinates) of the frame
// (640 x 480, bottom-up blue-green-red) into a 640 x 480 XRGB8888 image
// (top row first, rows of `pitch` bytes), pixel for pixel, the unused byte
// 0xff.
void CopyFrameRect(const std::uint8_t* frame, const PixelRect& rect, std::uint8_t* pixels,
                   int pitch);

}  // namespace wendrel::display::wayland
