#pragma once

#include <cstdint>
#include <vector>

#include "display/raster/pixel_rect.h"

namespace wendrel::display {

// The source pixel of destination pixel `d` when `sourceSize` pixels are
// stretched over `destinationSize`: the one under the destination pixel's
// centre, rounded down.
constexpr int NearestSource(int d, int destinationSize, int sourceSize) {
    return static_cast<int>((2 * static_cast<std::int64_t>(d) + 1) * sourceSize /
                            (2 * static_cast<std::int64_t>(destinationSize)));
}

// The nearest-neighbour stretch of the 640 x 480 frame over a destination of
// any size. Destination pixel (x, y) shows frame pixel (SourceColumn(x),
// SourceRow(y)), rows counted from the top of the upright picture. Whole and
// partial stretches both go through these tables, so they agree pixel for
// pixel.
class CStretchMap {
  public:
    // Makes the tables for a destination of `width` x `height` (both > 0).
    // Allocates only when the size grows past every size before.
    void Resize(int width, int height);
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

    int SourceColumn(int x) const { return m_sourceColumn[static_cast<std::size_t>(x)]; }
    int SourceRow(int y) const { return m_sourceRow[static_cast<std::size_t>(y)]; }
    // SourceColumn of every destination column, left to right.
    const std::int32_t* SourceColumns() const { return m_sourceColumn.data(); }

    // The destination pixels whose source pixel lies in `source` (upright
    // frame coordinates): exactly this rectangle, since the mapping never
    // runs backwards. Empty (zero width or height) when a shrinking stretch
    // shows none of them.
    PixelRect DestinationOf(const PixelRect& source) const;

  private:
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<std::int32_t> m_sourceColumn;  // per destination column
    std::vector<std::int32_t> m_sourceRow;     // per destination row
    // Per source column (row) 0 ... 640 (480): the first destination column
    // (row) that shows it or one right of (below) it.
    std::vector<std::int32_t> m_firstColumn;
    std::vector<std::int32_t> m_firstRow;
};

}  // namespace wendrel::display
