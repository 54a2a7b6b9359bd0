#include "saver/display_mode.h"

#include "scene/frame_buffer.h"

namespace wendrel {

bool IsExclusiveMode(const DisplayModeInfo& mode) {
    return mode.width == kFrameWidth && mode.height == kFrameHeight && mode.plainRgb &&
           (mode.bitsPerPixel == 24 || mode.bitsPerPixel == 32);
}

std::optional<std::size_t> ChooseExclusiveMode(std::span<const DisplayModeInfo> modes) {
    for (std::size_t i = 0; i < modes.size(); ++i) {
        if (IsExclusiveMode(modes[i]))
            return i;
    }
    return std::nullopt;
}

}  // namespace wendrel
