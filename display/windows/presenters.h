#pragma once

#include "leaf_scene.h"

namespace wendrel {

// Stretches the scene's frame over the whole client area of the window the
// animation thread took at its start. Nothing without a window, or when the
// window is gone.
void PresentGdi(CLeafScene& scene);

// Copies the frame unscaled into the back buffer and flips it to the front,
// again at once while the flip reports that it is still drawing. A lost
// surface is restored and its frame dropped. Nothing without both surfaces.
void PresentDirectDraw(CLeafScene& scene);

}  // namespace wendrel
