#include "scene/frame_buffer.h"

namespace wendrel {

BITMAPINFOHEADER MakeHeader24(std::int32_t width, std::int32_t height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = kBiRgb;
    header.biSizeImage = static_cast<std::uint32_t>(RowStride24(width) * height);
    return header;
}

}  // namespace wendrel
