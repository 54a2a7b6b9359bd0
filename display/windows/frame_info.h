#pragma once

#include "leaf_scene.h"
#include "win32.h"

namespace wendrel {

static_assert(sizeof(wendrel::BITMAPINFOHEADER) == sizeof(::BITMAPINFOHEADER));

// The scene's frame header as the system's device-independent bitmap
// description: RGB colours, no palette.
inline const BITMAPINFO* FrameInfo(const CLeafScene& scene) {
    return reinterpret_cast<const BITMAPINFO*>(&scene.FrameHeader());
}

}  // namespace wendrel
