#pragma once

#include "framework/windows/win32.h"
#include "scene/leaf_scene.h"

namespace wendrel::display {

static_assert(sizeof(wendrel::BITMAPINFOHEADER) == sizeof(::BITMAPINFOHEADER));

// The scene's frame header as the system's device-independent bitmap
// description: RGB colours, no palette.
inline const BITMAPINFO* FrameInfo(const CLeafScene& scene) {
    return reinterpret_cast<const BITMAPINFO*>(&scene.FrameHeader());
}

}  // namespace wendrel::display
