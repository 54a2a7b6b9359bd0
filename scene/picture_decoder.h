#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "scene/bitmap_info_header.h"

namespace wendrel {

// A bitmap as packaged: its header, its palette and where its pixels start.
struct DibView {
    BITMAPINFOHEADER header{};
    std::span<const std::uint8_t> palette;  // RGBQUADs
    std::span<const std::uint8_t> pixels;   // exactly the stored rows
};

// A packed DIB is what a bitmap resource holds: header, palette, pixels.
bool ParsePackedDib(std::span<const std::uint8_t> bytes, DibView& view, std::string& error);
// A .bmp file is a 14-byte file header followed by a DIB.
bool ParseBmpFile(std::span<const std::uint8_t> bytes, DibView& view, std::string& error);

// Copies the picture pixel for pixel from its top-left corner into a
// 24-bit bottom-up target of the given size; target pixels beyond the
// source stay black. `out` holds RowStride24(width) * height bytes.
void ConvertTo24(const DibView& view, std::int32_t width, std::int32_t height, std::uint8_t* out);

}  // namespace wendrel
