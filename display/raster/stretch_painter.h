#pragma once

#include <cstdint>

#include "display/raster/pixel_rect.h"
#include "display/raster/stretch_map.h"

namespace wendrel::display {

// Where the colour channels go in a 32-bit pixel.
struct PixelShifts {
    int red;
    int green;
    int blue;
};

// Paints the rectangle `destination` of the map's destination with the
// frame (640 x 480, bottom-up blue-green-red) stretched through `map`, as
// 32-bit pixels into rows of `pitch` bytes; `pixels` is the destination's
// top left corner.
void StretchRect(const std::uint8_t* frame, const CStretchMap& map, const PixelRect& destination,
                 PixelShifts shifts, std::uint8_t* pixels, int pitch);

}  // namespace wendrel::display
