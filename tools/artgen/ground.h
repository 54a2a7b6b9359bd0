// The lane, its verges and the fallen leaves lying on them.
#pragma once

#include <vector>

#include "tools/artgen/canvas.h"
#include "tools/artgen/scene.h"

namespace art {

void paint_sky(Canvas& canvas);
void paint_ground(Canvas& canvas, const std::vector<Tree>& trees);
void paint_fallen_leaves(Canvas& canvas, const std::vector<Tree>& trees);

// View direction through a subpixel.
V3 view_dir(const Canvas& canvas, double sx, double sy);

}  // namespace art
