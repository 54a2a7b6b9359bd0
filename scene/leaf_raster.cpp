#include "leaf_raster.h"

#include <algorithm>

#include "frame_buffer.h"

namespace wendrel {
namespace {

constexpr std::int32_t kSize = kLeafImageSize;  // w = h = 48
constexpr std::int32_t kHalf = kSize / 2;
constexpr std::int32_t kCentre8 = 4 * kSize;  // + 4w, + 4h
// A sample position v (eighths) is inside when 0 <= floor8(v) < 47, that is
// -192 <= q <= 183 for v = q + 192, that is -193 < q's exact quotient < 184.
constexpr std::int32_t kQuotientAbove = -(kCentre8 + 1);             // -193
constexpr std::int32_t kQuotientBelow = 8 * (kSize - 1) - kCentre8;  // 184
// row8 = trunc(8 M / 1024) + 192 = trunc(M / 128) + 192.
constexpr std::int32_t kRowDivisor = 1024 / 8;

StripBounds Across(const LeafTurn& turn, std::int32_t dy) {
    // -193 < 8 N / T < 184 with N = dx cs + dy sn; multiply through by |T|.
    const std::int32_t sign = turn.tiltCos < 0 ? -1 : 1;
    const std::int32_t t = sign * turn.tiltCos;
    return StripBounds(8 * sign * turn.cs, 8 * sign * turn.sn, kQuotientAbove * t,
                       kQuotientBelow * t, dy);
}

StripBounds Down(const LeafTurn& turn, std::int32_t dy) {
    // -193 < M / 128 < 184 with M = dy cs - dx sn.
    return StripBounds(-turn.sn, turn.cs, kQuotientAbove * kRowDivisor,
                       kQuotientBelow * kRowDivisor, dy);
}

// trunc(m / 128), without dividing.
inline std::int32_t TruncDiv128(std::int32_t m) {
    return (m + ((m >> 31) & (kRowDivisor - 1))) >> 7;
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

std::int32_t StripBounds::First() const {
    if (m_bFlat)
        return m_lo0 < m_cdy && m_cdy < m_hi0 ? -kSize : kSize;
    return m_first.Floor() + 1;
}

std::int32_t StripBounds::Last() const {
    if (m_bFlat)
        return m_lo0 < m_cdy && m_cdy < m_hi0 ? kSize : -kSize;
    return m_last.Floor();
}

void StripBounds::NextRow() {
    m_cdy += m_c;
    m_first.Next();
    m_last.Next();
}

SourceSpans::SourceSpans(const LeafTurn& turn, std::int32_t firstRow)
    : m_across(Across(turn, firstRow - kHalf)), m_down(Down(turn, firstRow - kHalf)) {}

LeafSpan SourceSpans::Span() const {
    const std::int32_t first = std::max(m_across.First(), m_down.First());
    const std::int32_t last = std::min(m_across.Last(), m_down.Last());
    return {std::clamp(first + kHalf, 0, kSize), std::clamp(last + 1 + kHalf, 0, kSize)};
}

void SourceSpans::NextRow() {
    m_across.NextRow();
    m_down.NextRow();
}

FrameRect DrawTurnedLeaf(const LeafTurn& turn, const std::uint8_t* image, const std::uint8_t* quads,
                         const BITMAPINFOHEADER& frameHeader, std::uint8_t* framePixels,
                         std::int32_t left, std::int32_t top) {
    const std::int32_t frameWidth = frameHeader.biWidth;
    const std::int32_t frameHeight = frameHeader.biHeight;
    const std::size_t frameStride = static_cast<std::size_t>(RowStride24(frameWidth));
    // Leaf row i lands on stored row frameHeight + 1 - top - i.
    const std::int32_t firstRow = std::max(0, 2 - top);
    const std::int32_t endRow = std::min(kSize, frameHeight + 2 - top);
    const std::int32_t firstCol = std::max(0, -left);
    const std::int32_t endCol = std::min(kSize, frameWidth - left);
    FrameRect written;
    if (firstRow >= endRow || firstCol >= endCol)
        return written;

    const std::int32_t sign = turn.tiltCos < 0 ? -1 : 1;
    const std::int32_t across = sign * turn.tiltCos;
    const std::int32_t sn = turn.sn, cs = turn.cs;
    written = {frameWidth, frameHeight, 0, 0};
    SourceSpans spans(turn, firstRow);
    for (std::int32_t i = firstRow; i < endRow; ++i, spans.NextRow()) {
        const LeafSpan span = spans.Span();
        const std::int32_t begin = std::max(span.begin, firstCol);
        const std::int32_t end = std::min(span.end, endCol);
        if (begin >= end)
            continue;
        const std::int32_t rho = frameHeight + 1 - top - i;
        std::uint8_t* dst = framePixels + static_cast<std::size_t>(rho) * frameStride +
                            3 * static_cast<std::size_t>(left + begin);
        const std::int32_t dy = i - kHalf;
        std::int32_t dx = begin - kHalf;
        // col8 - 192 = trunc(8 (dx cs + dy sn) / T), stepped along the row.
        FloorStepper column(8 * sign * (dx * cs + dy * sn), 8 * sign * cs, across);
        std::int32_t m = dy * cs - dx * sn;
        for (std::int32_t j = begin; j < end; ++j, dst += 3, m -= sn, column.Next()) {
            const std::int32_t col8 = column.Trunc() + kCentre8;
            const std::int32_t row8 = TruncDiv128(m) + kCentre8;
            const std::int32_t col = col8 >> 3;
            const std::int32_t srow = row8 >> 3;
            if (!quads[srow * kSize + col])
                continue;
            const std::int32_t fx = col8 & 7;
            const std::int32_t fy = row8 & 7;
            const std::uint8_t* s00 = image + srow * kLeafImageStride + 3 * col;
            const std::uint8_t* s10 = s00 + kLeafImageStride;
            for (int k = 0; k < 3; ++k) {
                const std::int32_t upper = s00[k] * (7 - fx) + s00[k + 3] * fx;
                const std::int32_t lower = s10[k] * (7 - fx) + s10[k + 3] * fx;
                dst[k] = static_cast<std::uint8_t>((upper * (7 - fy) + lower * fy + 24) / 49);
            }
        }
        const std::int32_t y = frameHeight - 1 - rho;
        written = {std::min(written.left, left + begin), std::min(written.top, y),
                   std::max(written.right, left + end), std::max(written.bottom, y + 1)};
    }
    if (written.Empty())
        written = {};
    return written;
}

}  // namespace wendrel
