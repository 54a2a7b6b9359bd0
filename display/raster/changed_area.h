#pragma once

#include <span>

#include "display/raster/pixel_rect.h"
#include "scene/frame_changes.h"

namespace wendrel::display {

// Clips the scene's changed rectangles to the frame and joins those that
// overlap or touch wherever the joined rectangle is no larger than the two
// apart, so that no pixel is painted and sent twice for a leaf that moved a
// little. Writes the result (upright frame coordinates) into `out` and
// returns how many; -1 when `out` has too little room.
int JoinChangedRects(std::span<const FrameRect> rects, std::span<PixelRect> out);

}  // namespace wendrel::display
