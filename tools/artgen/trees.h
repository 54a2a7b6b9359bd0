// Trunks, limbs and the layered leaf clusters of the crowns, painted far to near.
#pragma once

#include <vector>

#include "tools/artgen/canvas.h"
#include "tools/artgen/scene.h"

namespace art {

void paint_trees(Canvas& canvas, const std::vector<Tree>& trees);

}  // namespace art
