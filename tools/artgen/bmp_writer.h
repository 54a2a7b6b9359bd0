// Byte-exact writers for the Windows bitmap family (BMP, CUR, ICO) used by Wendrel.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace art {

using Bytes = std::vector<uint8_t>;
using Rgb8 = std::array<uint8_t, 3>;  // r, g, b

void put16(Bytes& out, uint32_t v);
void put32(Bytes& out, uint32_t v);
// 40-byte BITMAPINFOHEADER.
void put_info_header(Bytes& out, int width, int height, int bits, uint32_t image_size,
                     uint32_t colors_used);

// 8 bits per pixel with a 256-entry palette. indices are top-down, width*height.
Bytes make_bmp8(int width, int height, const std::vector<uint8_t>& indices,
                const std::vector<Rgb8>& palette);
// 24 bits per pixel. pixels are top-down, width*height.
Bytes make_bmp24(int width, int height, const std::vector<Rgb8>& pixels);

bool write_file(const std::string& path, const Bytes& data);
bool read_file(const std::string& path, Bytes& data);

}  // namespace art
