#include "display/raster/stretch_painter.h"

#include <cstring>

#include "scene/frame_buffer.h"

namespace wendrel::display {

void StretchRect(const std::uint8_t* frame, const CStretchMap& map, const PixelRect& destination,
                 PixelShifts shifts, std::uint8_t* pixels, int pitch) {
    const int width = destination.w;
    const int top = destination.y;
    const int bottom = destination.y + destination.h;
    if (width <= 0 || bottom <= top)
        return;
    const std::int32_t* columns = map.SourceColumns() + destination.x;
    const int first = columns[0];
    const int last = columns[width - 1];
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    // Each source pixel of the row, converted once, then picked for every
    // destination column that shows it.
    std::uint32_t line[kFrameWidth];
    const std::uint8_t* previousRow = nullptr;
    int previousSource = -1;
    for (int y = top; y < bottom; ++y) {
        std::uint8_t* out = pixels + static_cast<std::ptrdiff_t>(y) * pitch +
                            static_cast<std::ptrdiff_t>(destination.x) * 4;
        const int source = map.SourceRow(y);
        if (source == previousSource) {
            // An enlarging stretch shows a source row on several rows.
            std::memcpy(out, previousRow, rowBytes);
            continue;
        }
        // The first stored row is the bottom one of the upright picture.
        const std::uint8_t* in =
            frame + static_cast<std::ptrdiff_t>(kFrameHeight - 1 - source) * kFrameStride +
            first * 3;
        for (int sx = first; sx <= last; ++sx, in += 3)
            line[sx] = std::uint32_t{in[2]} << shifts.red | std::uint32_t{in[1]} << shifts.green |
                       std::uint32_t{in[0]} << shifts.blue;
        for (int i = 0; i < width; ++i) {
            const std::uint32_t pixel = line[columns[i]];
            std::memcpy(out + static_cast<std::ptrdiff_t>(i) * 4, &pixel, sizeof pixel);
        }
        previousRow = out;
        previousSource = source;
    }
}

}  // namespace wendrel::display
