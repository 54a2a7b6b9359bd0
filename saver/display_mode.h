#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace wendrel {

// A display mode as the exclusive presenter judges it.
struct DisplayModeInfo {
    std::int32_t width;
    std::int32_t height;
    std::int32_t bitsPerPixel;
    // Plain RGB pixels: no palette, no alpha, no packed YUV or other extra.
    bool plainRgb;
};

// True for the mode the exclusive presenter wants: 640 x 480, 24 or 32
// bits of plain RGB.
bool IsExclusiveMode(const DisplayModeInfo& mode);
// The index of the first acceptable mode of the list, in the list's order.
std::optional<std::size_t> ChooseExclusiveMode(std::span<const DisplayModeInfo> modes);

}  // namespace wendrel
