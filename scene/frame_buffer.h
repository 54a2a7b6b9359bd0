#pragma once

#include <cstdint>

#include "scene/bitmap_info_header.h"

namespace wendrel {

// Every picture of the saver is 24-bit blue-green-red, stored bottom-up,
// rows padded to four bytes.
constexpr std::int32_t kFrameWidth = 640;
constexpr std::int32_t kFrameHeight = 480;
constexpr std::int32_t kLeafImageSize = 48;

constexpr std::int32_t RowStride24(std::int32_t width) {
    return ((width * 3 + 3) / 4) * 4;
}

constexpr std::int32_t kFrameStride = RowStride24(kFrameWidth);
constexpr std::uint32_t kFrameBytes = static_cast<std::uint32_t>(kFrameStride * kFrameHeight);
constexpr std::int32_t kLeafImageStride = RowStride24(kLeafImageSize);
constexpr std::uint32_t kLeafImageBytes =
    static_cast<std::uint32_t>(kLeafImageStride * kLeafImageSize);

static_assert(kFrameStride == 1920 && kFrameBytes == 921600);
static_assert(kLeafImageStride == 144 && kLeafImageBytes == 6912);

// A zeroed header describing a 24-bit BI_RGB picture of the given size.
BITMAPINFOHEADER MakeHeader24(std::int32_t width, std::int32_t height);

}  // namespace wendrel
