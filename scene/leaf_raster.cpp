#include "leaf_raster.h"

#include <algorithm>

#include "frame_buffer.h"
#include "leaf_rows.h"

namespace wendrel {
namespace {

constexpr std::int32_t kSize = kLeafImageSize;  // w = h = 48
constexpr std::int32_t kHalf = kSize / 2;
constexpr std::int32_t kCentre8 = 4 * kSize;  // + 4w, + 4h
// A sample at v = q + 192 (eighths), q = trunc(x) for the exact quotient
// x = n / t (t > 0), is in quads lo ... hi when lo <= floor(v / 8) <= hi,
// that is K <= q <= K' with K = 8 lo - 192, K' = 8 hi - 185. Truncation
// makes q >= K mean x >= K for K >= 1 and x > K - 1 otherwise, and q <= K'
// mean x < K' + 1 for K' >= 0 and x <= K' otherwise. As n is an integer,
// each is a strict bound on n: above < n < below.
constexpr std::int32_t Above(std::int32_t lo, std::int32_t t) {
    const std::int32_t k = 8 * lo - kCentre8;
    return k >= 1 ? k * t - 1 : (k - 1) * t;
}
constexpr std::int32_t Below(std::int32_t hi, std::int32_t t) {
    const std::int32_t k = 8 * hi + 7 - kCentre8;
    return k >= 0 ? (k + 1) * t : k * t + 1;
}
static_assert(Above(0, 1) == -193 && Below(46, 1) == 184);
// row8 = trunc(8 M / 1024) + 192 = trunc(M / 128) + 192.
constexpr std::int32_t kRowDivisor = 1024 / 8;

StripBounds Across(const LeafTurn& turn, std::int32_t dy, const LeafQuadBox& box) {
    // x = 8 N / T with N = dx cs + dy sn, so n = 8 sign N and t = |T|.
    const std::int32_t sign = turn.tiltCos < 0 ? -1 : 1;
    const std::int32_t t = sign * turn.tiltCos;
    return StripBounds(8 * sign * turn.cs, 8 * sign * turn.sn, Above(box.colMin, t),
                       Below(box.colMax, t), dy);
}

StripBounds Down(const LeafTurn& turn, std::int32_t dy, const LeafQuadBox& box) {
    // x = M / 128 with M = dy cs - dx sn.
    return StripBounds(-turn.sn, turn.cs, Above(box.rowMin, kRowDivisor),
                       Below(box.rowMax, kRowDivisor), dy);
}

LeafRowPainter PainterFor(LeafBlend blend) {
    switch (blend) {
        case LeafBlend::kFastest:
        case LeafBlend::kSsse3:
            return HaveSsse3LeafRows() ? PaintLeafRowSsse3 : PaintLeafRowSse2;
        case LeafBlend::kSse2:
            return PaintLeafRowSse2;
        case LeafBlend::kPlain:
            break;
    }
    return PaintLeafRowPlain;
}

}  // namespace

StripBounds::StripBounds(std::int32_t a, std::int32_t c, std::int32_t lo0, std::int32_t hi0,
                         std::int32_t dy)
    : m_bFlat(a == 0),
      m_c(c),
      m_cdy(c * dy),
      m_lo0(lo0),
      m_hi0(hi0),
      // a > 0: dx > (lo0 - c dy) / a and dx <= (hi0 - c dy - 1) / a.
      // a < 0: dx > (c dy - hi0) / -a and dx <= (c dy - lo0 - 1) / -a.
      m_first(a > 0   ? FloorStepper(lo0 - c * dy, -c, a)
              : a < 0 ? FloorStepper(c * dy - hi0, c, -a)
                      : FloorStepper(0, 0, 1)),
      m_last(a > 0   ? FloorStepper(hi0 - c * dy - 1, -c, a)
             : a < 0 ? FloorStepper(c * dy - lo0 - 1, c, -a)
                     : FloorStepper(0, 0, 1)) {}

SourceSpans::SourceSpans(const LeafTurn& turn, std::int32_t firstRow, const LeafQuadBox& box)
    : m_across(Across(turn, firstRow - kHalf, box)), m_down(Down(turn, firstRow - kHalf, box)) {}

FrameRect DrawTurnedLeaf(const LeafTurn& turn, const LeafQuads& quads,
                         const BITMAPINFOHEADER& frameHeader, std::uint8_t* framePixels,
                         std::int32_t left, std::int32_t top, LeafBlend blend) {
    const std::int32_t frameWidth = frameHeader.biWidth;
    const std::int32_t frameHeight = frameHeader.biHeight;
    const std::size_t frameStride = static_cast<std::size_t>(RowStride24(frameWidth));
    // Leaf row i lands on stored row frameHeight + 1 - top - i.
    const std::int32_t firstRow = std::max(0, 2 - top);
    const std::int32_t endRow = std::min(kSize, frameHeight + 2 - top);
    const std::int32_t firstCol = std::max(0, -left);
    const std::int32_t endCol = std::min(kSize, frameWidth - left);
    FrameRect written;
    if (firstRow >= endRow || firstCol >= endCol || quads.box.Empty())
        return written;

    const std::int32_t sign = turn.tiltCos < 0 ? -1 : 1;
    const std::int32_t across = sign * turn.tiltCos;
    const std::int32_t sn = turn.sn, cs = turn.cs;
    const std::int32_t columnStep = 8 * sign * cs;
    const LeafRowPainter paint = PainterFor(blend);
    const FloorStepper oneStep(0, columnStep, across);
    const FloorStepper fourSteps(0, 4 * columnStep, across);
    const std::uint8_t* frameEnd =
        framePixels + static_cast<std::size_t>(frameHeight) * frameStride;
    written = {frameWidth, frameHeight, 0, 0};
    SourceSpans spans(turn, firstRow, quads.box);
    for (std::int32_t i = firstRow; i < endRow; ++i, spans.NextRow()) {
        const LeafSpan span = spans.Span();
        const std::int32_t begin = std::max(span.begin, firstCol);
        const std::int32_t end = std::min(span.end, endCol);
        if (begin >= end)
            continue;
        const std::int32_t rho = frameHeight + 1 - top - i;
        const std::int32_t dy = i - kHalf;
        const std::int32_t dx = begin - kHalf;
        // col8 - 192 = trunc(8 (dx cs + dy sn) / T), stepped along the row.
        const LeafRow row{framePixels + static_cast<std::size_t>(rho) * frameStride +
                              3 * static_cast<std::size_t>(left + begin),
                          end - begin, FloorStepper(8 * sign * (dx * cs + dy * sn), oneStep),
                          dy * cs - dx * sn, sn};
        paint(quads, row, fourSteps, frameEnd);
        const std::int32_t y = frameHeight - 1 - rho;
        written = {std::min(written.left, left + begin), std::min(written.top, y),
                   std::max(written.right, left + end), std::max(written.bottom, y + 1)};
    }
    if (written.Empty())
        written = {};
    return written;
}

}  // namespace wendrel
