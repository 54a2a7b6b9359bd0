#include "display/raster/stretch_map.h"

#include "scene/frame_buffer.h"

namespace wendrel::display {
namespace {

// first[s] = the first destination index whose source is s or more; the
// sources rise with the index, so sources [a, b) show at [first[a], first[b]).
void FillFirst(std::vector<std::int32_t>& first, int sourceSize, int destinationSize) {
    first.assign(static_cast<std::size_t>(sourceSize) + 1, destinationSize);
    int d = 0;
    for (int s = 0; s <= sourceSize; ++s) {
        while (d < destinationSize && NearestSource(d, destinationSize, sourceSize) < s)
            ++d;
        first[static_cast<std::size_t>(s)] = d;
    }
}

}  // namespace

void CStretchMap::Resize(int width, int height) {
    m_nWidth = width;
    m_nHeight = height;
    m_sourceColumn.resize(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        m_sourceColumn[static_cast<std::size_t>(x)] = NearestSource(x, width, kFrameWidth);
    m_sourceRow.resize(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        m_sourceRow[static_cast<std::size_t>(y)] = NearestSource(y, height, kFrameHeight);
    FillFirst(m_firstColumn, kFrameWidth, width);
    FillFirst(m_firstRow, kFrameHeight, height);
}

PixelRect CStretchMap::DestinationOf(const PixelRect& source) const {
    const auto at = [](const std::vector<std::int32_t>& first, int s, int size) {
        return first[static_cast<std::size_t>(s < 0 ? 0 : (s > size ? size : s))];
    };
    const int x0 = at(m_firstColumn, source.x, kFrameWidth);
    const int x1 = at(m_firstColumn, source.x + source.w, kFrameWidth);
    const int y0 = at(m_firstRow, source.y, kFrameHeight);
    const int y1 = at(m_firstRow, source.y + source.h, kFrameHeight);
    if (x1 <= x0 || y1 <= y0)
        return PixelRect{x0, y0, 0, 0};
    return PixelRect{x0, y0, x1 - x0, y1 - y0};
}

}  // namespace wendrel::display
