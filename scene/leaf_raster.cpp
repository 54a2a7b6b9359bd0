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

// For rows dy = dy0 ... dy0 + rows - 1, the integers dx with
// lo0 - c dy < a dx < hi0 - c dy narrow the span [first, last] of each
// row (first > last when none); found without dividing after the first
// row, one bound at a time.
void NarrowToStrip(std::int32_t a, std::int32_t c, std::int32_t lo0, std::int32_t hi0,
                   std::int32_t dy0, std::int32_t rows, std::int32_t* first, std::int32_t* last) {
    if (a == 0) {
        // Every dx or none.
        for (std::int32_t k = 0; k < rows; ++k) {
            const std::int32_t cdy = c * (dy0 + k);
            if (!(lo0 < cdy && cdy < hi0))
                last[k] = first[k] - 1;
        }
        return;
    }
    // a > 0: dx > (lo0 - c dy) / a and dx <= (hi0 - c dy - 1) / a.
    // a < 0: dx > (c dy - hi0) / -a and dx <= (c dy - lo0 - 1) / -a.
    FloorStepper below =
        a > 0 ? FloorStepper(lo0 - c * dy0, -c, a) : FloorStepper(c * dy0 - hi0, c, -a);
    for (std::int32_t k = 0; k < rows; ++k, below.Next())
        first[k] = std::max(first[k], below.Floor() + 1);
    FloorStepper above =
        a > 0 ? FloorStepper(hi0 - c * dy0 - 1, -c, a) : FloorStepper(c * dy0 - lo0 - 1, c, -a);
    for (std::int32_t k = 0; k < rows; ++k, above.Next())
        last[k] = std::min(last[k], above.Floor());
}

LeafRowsPainter PainterFor(LeafBlend blend) {
    switch (blend) {
        case LeafBlend::kFastest:
        case LeafBlend::kSsse3:
            return HaveSsse3LeafRows() ? PaintLeafRowsSsse3 : PaintLeafRowsSse2;
        case LeafBlend::kSse2:
            return PaintLeafRowsSse2;
        case LeafBlend::kPlain:
            break;
    }
    return PaintLeafRowsPlain;
}

}  // namespace

void FindSourceSpans(const LeafTurn& turn, std::int32_t firstRow, std::int32_t endRow,
                     const LeafQuadBox& box, LeafSpan* spans) {
    const std::int32_t rows = endRow - firstRow, dy0 = firstRow - kHalf;
    std::int32_t first[kSize], last[kSize];
    for (std::int32_t k = 0; k < rows; ++k) {
        first[k] = -kSize;
        last[k] = kSize;
    }
    // The column sample: x = 8 N / T with N = dx cs + dy sn, so n = 8 sign N
    // and t = |T|.
    const std::int32_t sign = turn.tiltCos < 0 ? -1 : 1;
    const std::int32_t t = sign * turn.tiltCos;
    NarrowToStrip(8 * sign * turn.cs, 8 * sign * turn.sn, Above(box.colMin, t),
                  Below(box.colMax, t), dy0, rows, first, last);
    // The row sample: x = M / 128 with M = dy cs - dx sn.
    NarrowToStrip(-turn.sn, turn.cs, Above(box.rowMin, kRowDivisor), Below(box.rowMax, kRowDivisor),
                  dy0, rows, first, last);
    for (std::int32_t k = 0; k < rows; ++k)
        spans[k] = {std::clamp(first[k] + kHalf, 0, kSize),
                    std::clamp(last[k] + 1 + kHalf, 0, kSize)};
}

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
    const std::int32_t sn = turn.sn, cs = turn.cs;
    // The column numerator 8 sign (dx cs + dy sn), term by term.
    const std::int32_t columnStep = 8 * sign * cs, rowStep = 8 * sign * sn;
    LeafRows rows;
    rows.quads = &quads;
    rows.writableEnd = framePixels + static_cast<std::size_t>(frameHeight) * frameStride;
    rows.divisor = sign * turn.tiltCos;
    rows.sn = sn;
    FloorStepper column(-kHalf * columnStep, columnStep, rows.divisor);
    for (std::int32_t c = 0; c < kSize + kLeafLanes; ++c, column.Next()) {
        rows.columnQuotient[c] = static_cast<std::int16_t>(column.Floor());
        rows.columnRemainder[c] = static_cast<std::int16_t>(column.Remainder());
    }
    const std::int32_t lanesQuotient = FloorDiv(kLeafLanes * columnStep, rows.divisor);
    rows.lanesQuotient = static_cast<std::int16_t>(lanesQuotient);
    rows.lanesRemainder =
        static_cast<std::int16_t>(kLeafLanes * columnStep - lanesQuotient * rows.divisor);

    written = {frameWidth, frameHeight, 0, 0};
    LeafSpan spans[kSize];
    FindSourceSpans(turn, firstRow, endRow, quads.box, spans);
    FloorStepper rowTerm((firstRow - kHalf) * rowStep, rowStep, rows.divisor);
    for (std::int32_t i = firstRow; i < endRow; ++i, rowTerm.Next()) {
        const LeafSpan& span = spans[i - firstRow];
        const std::int32_t begin = std::max(span.begin, firstCol);
        const std::int32_t end = std::min(span.end, endCol);
        if (begin >= end)
            continue;
        // Leaf row i lands on stored row rho.
        const std::int32_t rho = frameHeight + 1 - top - i;
        rows.rows[rows.count++] = {framePixels + static_cast<std::size_t>(rho) * frameStride +
                                       3 * static_cast<std::size_t>(left + begin),
                                   begin,
                                   end - begin,
                                   rowTerm.Floor(),
                                   rowTerm.Remainder(),
                                   (i - kHalf) * cs - (begin - kHalf) * sn};
        const std::int32_t y = frameHeight - 1 - rho;
        written = {std::min(written.left, left + begin), std::min(written.top, y),
                   std::max(written.right, left + end), std::max(written.bottom, y + 1)};
    }
    if (rows.count > 0)
        PainterFor(blend)(rows);
    if (written.Empty())
        written = {};
    return written;
}

}  // namespace wendrel
