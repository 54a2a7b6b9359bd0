#pragma once

#include <cstdint>
#include <string>

#include "scene/bitmap_info_header.h"

namespace wendrel::render {

// Writes a 24-bit bottom-up picture; false with a reason on failure. The
// file is written beside its final name and renamed into place, so a
// failed write never leaves half a picture under that name.
bool WriteBmpFile(const std::string& path, const BITMAPINFOHEADER& header,
                  const std::uint8_t* pixels, std::string& error);
bool WritePngFile(const std::string& path, const BITMAPINFOHEADER& header,
                  const std::uint8_t* pixels, std::string& error);

}  // namespace wendrel::render
