#pragma once

#include <SDL.h>

#include <optional>

#include "display/raster/stretch_painter.h"

namespace wendrel::display {

// The shifts of a format of four bytes per pixel with eight bits per
// colour, which the stretch can paint straight into; none for any other
// format.
std::optional<PixelShifts> DirectShifts(const SDL_PixelFormat& format);

}  // namespace wendrel::display
