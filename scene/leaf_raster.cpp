#include "scene/leaf_raster.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "scene/frame_buffer.h"
#include "scene/leaf_rows.h"

namespace wendrel {
namespace {

constexpr std::int32_t kHalf = kLeafImageSize / 2;
// A sample at v = q + 192 (eighths), q = trunc(x) for the exact quotient
// x = n / t (t > 0), is in quads lo ... hi when lo <= floor(v / 8) <= hi,
// that is K <= q <= K' with K = 8 lo - 192, K' = 8 hi - 185. Truncation
// makes q >= K mean x >= K for K >= 1 and x > K - 1 otherwise, and q <= K'
// mean x < K' + 1 for K' >= 0 and x <= K' otherwise. As n is an integer,
// each is a strict bound on n: above < n < below.
constexpr std::int32_t Above(std::int32_t lo, std::int32_t t) {
    const std::int32_t k = 8 * lo - kLeafCentre8;
    return k >= 1 ? k * t - 1 : (k - 1) * t;
}
constexpr std::int32_t Below(std::int32_t hi, std::int32_t t) {
    const std::int32_t k = 8 * hi + 7 - kLeafCentre8;
    return k >= 0 ? (k + 1) * t : k * t + 1;
}
static_assert(Above(0, 1) == -193 && Below(46, 1) == 184);
// row8 = trunc(8 M / 1024) + 192 = trunc(M / 128) + 192.
constexpr std::int32_t kRowDivisor = 1024 / 8;

// The integers dx with lo0 - c dy < a dx < hi0 - c dy, row after row
// (dy = dy0, dy0 + 1 ...): dx > below.Floor() and dx <= above.Floor(),
// stepped without dividing. Where a == 0 a row holds every dx or none.
struct Strip {
    Strip(std::int32_t a, std::int32_t c, std::int32_t lo0, std::int32_t hi0, std::int32_t dy0)
        : flat(a == 0),
          step(c),
          start(c * dy0),
          low(lo0),
          high(hi0),
          // a > 0: dx > (lo0 - c dy) / a and dx <= (hi0 - c dy - 1) / a.
          // a < 0: dx > (c dy - hi0) / -a and dx <= (c dy - lo0 - 1) / -a.
          below(a > 0   ? FloorStepper(lo0 - c * dy0, -c, a)
                : a < 0 ? FloorStepper(c * dy0 - hi0, c, -a)
                        : FloorStepper(-kLeafImageSize - 1, 0, 1)),
          above(a > 0   ? FloorStepper(hi0 - c * dy0 - 1, below)
                : a < 0 ? FloorStepper(c * dy0 - lo0 - 1, below)
                        : FloorStepper(kLeafImageSize, below)) {}

    // When flat, whether row k holds every dx.
    bool Holds(std::int32_t k) const {
        const std::int32_t cdy = start + step * k;
        return low < cdy && cdy < high;
    }

    bool flat;
    std::int32_t step, start, low, high;  // c, c dy0, lo0, hi0
    FloorStepper below, above;
};

// Narrows the span [first, last] of each of `rows` rows to the strip (first
// > last when none), one bound at a time.
void NarrowToStrip(Strip strip, std::int32_t rows, std::int32_t* first, std::int32_t* last) {
    for (std::int32_t k = 0; k < rows; ++k, strip.below.Next())
        first[k] = std::max(first[k], strip.below.Floor() + 1);
    for (std::int32_t k = 0; k < rows; ++k, strip.above.Next())
        last[k] = std::min(last[k], strip.above.Floor());
}

#if defined(__SSE2__)
// Two strips' four bounds side by side: first, last, first, last dx.
class FourBounds {
  public:
    FourBounds(const Strip& one, const Strip& other) {
        const FloorStepper* bounds[4] = {&one.below, &one.above, &other.below, &other.above};
        alignas(16) std::int32_t lanes[5][4];
        for (int b = 0; b < 4; ++b) {
            lanes[0][b] = bounds[b]->Floor() + (b % 2 == 0 ? 1 : 0);
            lanes[1][b] = bounds[b]->Remainder();
            lanes[2][b] = bounds[b]->StepQuotient();
            lanes[3][b] = bounds[b]->StepRemainder();
            lanes[4][b] = bounds[b]->Divisor();
        }
        const auto load = [&](int n) {
            return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes[n]));
        };
        m_q = load(0);
        m_r = load(1);
        m_dq = load(2);
        m_dr = load(3);
        m_divisor = load(4);
        m_lastRemainder = _mm_sub_epi32(m_divisor, _mm_set1_epi32(1));
    }

    __m128i Bounds() const { return m_q; }

    void NextRow() {
        m_r = _mm_add_epi32(m_r, m_dr);
        const __m128i carry = _mm_cmpgt_epi32(m_r, m_lastRemainder);
        m_r = _mm_sub_epi32(m_r, _mm_and_si128(carry, m_divisor));
        m_q = _mm_sub_epi32(_mm_add_epi32(m_q, m_dq), carry);
    }

  private:
    __m128i m_q, m_r, m_dq, m_dr, m_divisor, m_lastRemainder;
};

// Of two sets of bounds (first, last, first, last), the larger first and
// the smaller last in each pair of lanes.
inline __m128i Narrower(__m128i one, __m128i other) {
    const __m128i keepOne =
        _mm_xor_si128(_mm_cmpgt_epi32(one, other), _mm_setr_epi32(0, -1, 0, -1));
    return _mm_or_si128(_mm_and_si128(keepOne, one), _mm_andnot_si128(keepOne, other));
}

// The spans of the strips' crossing, their bounds stepped side by side.
void CrossStrips(const Strip& across, const Strip& down, const Strip& sum, const Strip& difference,
                 std::int32_t rows, LeafSpan* spans) {
    static_assert(sizeof(LeafSpan) == 8);
    FourBounds box(across, down), diagonals(sum, difference);
    // first + 24 and last + 25, clamped to 0 ... 48 as 16-bit words (the
    // packing saturates, which keeps their order).
    const __m128i toColumns = _mm_setr_epi32(kHalf, kHalf + 1, 0, 0);
    const __m128i zero = _mm_setzero_si128(), size = _mm_set1_epi16(kLeafImageSize);
    for (std::int32_t k = 0; k < rows; ++k, box.NextRow(), diagonals.NextRow()) {
        const __m128i pairs = Narrower(box.Bounds(), diagonals.Bounds());
        const __m128i crossed = Narrower(pairs, _mm_shuffle_epi32(pairs, _MM_SHUFFLE(1, 0, 3, 2)));
        const __m128i words = _mm_packs_epi32(_mm_add_epi32(crossed, toColumns), zero);
        const __m128i clamped = _mm_min_epi16(_mm_max_epi16(words, zero), size);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(spans + k), _mm_unpacklo_epi16(clamped, zero));
    }
}
#endif

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
                     const LeafQuadBox& box, LeafSpan* spans,
                     [[maybe_unused]] LeafBlend blend) {  // without SSE2, always plain
    const std::int32_t rows = endRow - firstRow, dy0 = firstRow - kHalf;
    // The column sample: x = 8 N / T with N = dx cs + dy sn, so n = 8 sign N
    // and t = |T|.
    const std::int32_t sign = turn.tiltCos < 0 ? -1 : 1;
    const std::int32_t t = sign * turn.tiltCos;
    const std::int32_t sn = turn.sn, cs = turn.cs;
    const Strip across(8 * sign * cs, 8 * sign * sn, Above(box.colMin, t), Below(box.colMax, t),
                       dy0);
    // The row sample: x = M / 128 with M = dy cs - dx sn.
    const Strip down(-sn, cs, Above(box.rowMin, kRowDivisor), Below(box.rowMax, kRowDivisor), dy0);
    // The diagonals, loosely: with X = col8 and Y = row8 the samples, each
    // within one eighth of x + 192 and y + 192, a pixel in a quad with
    // sumMin <= row + column <= sumMax has 8 sumMin <= X + Y <= 8 sumMax + 14,
    // so 8 sumMin - 386 < x + y < 8 sumMax - 368; times 128 t, an integer in
    // dx and dy. And likewise for differenceMin <= row - column <=
    // differenceMax: 8 differenceMin - 9 < y - x < 8 differenceMax + 9.
    const std::int32_t scale = 128 * t;
    const Strip sum(1024 * sign * cs - t * sn, 1024 * sign * sn + t * cs,
                    scale * (8 * box.sumMin - 386), scale * (8 * box.sumMax - 368), dy0);
    const Strip difference(-t * sn - 1024 * sign * cs, t * cs - 1024 * sign * sn,
                           scale * (8 * box.differenceMin - 9), scale * (8 * box.differenceMax + 9),
                           dy0);
#if defined(__SSE2__)
    const bool wide = blend != LeafBlend::kPlain;
#else
    const bool wide = false;
#endif
    if (wide) {
#if defined(__SSE2__)
        CrossStrips(across, down, sum, difference, rows, spans);
#endif
    } else {
        std::int32_t first[kLeafImageSize], last[kLeafImageSize];
        for (std::int32_t k = 0; k < rows; ++k) {
            first[k] = -kLeafImageSize;
            last[k] = kLeafImageSize;
        }
        for (const Strip* strip : {&across, &down, &sum, &difference})
            NarrowToStrip(*strip, rows, first, last);
        for (std::int32_t k = 0; k < rows; ++k)
            spans[k] = {std::clamp(first[k] + kHalf, 0, kLeafImageSize),
                        std::clamp(last[k] + 1 + kHalf, 0, kLeafImageSize)};
    }
    // A flat strip holds a row whole or not at all.
    for (const Strip* strip : {&across, &down, &sum, &difference})
        if (strip->flat)
            for (std::int32_t k = 0; k < rows; ++k)
                if (!strip->Holds(k))
                    spans[k].end = spans[k].begin;
}

FrameRect DrawTurnedLeaf(const LeafTurn& turn, const LeafQuads& quads,
                         const BITMAPINFOHEADER& frameHeader, std::uint8_t* framePixels,
                         std::int32_t left, std::int32_t top, LeafBlend blend) {
    const std::int32_t frameWidth = frameHeader.biWidth;
    const std::int32_t frameHeight = frameHeader.biHeight;
    const std::size_t frameStride = static_cast<std::size_t>(RowStride24(frameWidth));
    // Leaf row i lands on stored row frameHeight + 1 - top - i.
    const std::int32_t firstRow = std::max(0, 2 - top);
    const std::int32_t endRow = std::min(kLeafImageSize, frameHeight + 2 - top);
    const std::int32_t firstCol = std::max(0, -left);
    const std::int32_t endCol = std::min(kLeafImageSize, frameWidth - left);
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
    // From the centre column (dx = 0, n = 0) out to both sides: one division.
    const FloorStepper centre(0, columnStep, rows.divisor);
    FloorStepper column = centre;
    for (std::int32_t c = kHalf; c < kLeafImageSize + kLeafLanes; ++c, column.Next()) {
        rows.columnQuotient[c] = static_cast<std::int16_t>(column.Floor());
        rows.columnRemainder[c] = static_cast<std::int16_t>(column.Remainder());
    }
    column = centre.Reversed();
    for (std::int32_t c = kHalf - 1; c >= 0; --c) {
        column.Next();
        rows.columnQuotient[c] = static_cast<std::int16_t>(column.Floor());
        rows.columnRemainder[c] = static_cast<std::int16_t>(column.Remainder());
    }

    LeafSpan spans[kLeafImageSize];
    FindSourceSpans(turn, firstRow, endRow, quads.box, spans, blend);
    FloorStepper rowTerm((firstRow - kHalf) * rowStep, rowStep, rows.divisor);
    // Leaf row i lands on stored row frameHeight + 1 - top - i, one stride
    // further down the buffer each row; m = dy cs - dx sn at its column 0.
    std::ptrdiff_t at = static_cast<std::ptrdiff_t>(frameHeight + 1 - top - firstRow) *
                            static_cast<std::ptrdiff_t>(frameStride) +
                        3 * left;
    std::int32_t m = (firstRow - kHalf) * cs + kHalf * sn;
    LeafRows::Row* row = rows.rows;
    std::int32_t minBegin = kLeafImageSize, maxEnd = 0, firstDrawn = -1, lastDrawn = -1;
    for (std::int32_t i = firstRow; i < endRow;
         ++i, rowTerm.Next(), at -= static_cast<std::ptrdiff_t>(frameStride), m += cs) {
        const LeafSpan& span = spans[i - firstRow];
        const std::int32_t begin = std::max(span.begin, firstCol);
        const std::int32_t end = std::min(span.end, endCol);
        if (begin >= end)
            continue;
        *row++ = {framePixels + (at + 3 * begin),
                  begin,
                  end - begin,
                  rowTerm.Floor(),
                  rowTerm.Remainder(),
                  m - begin * sn};
        minBegin = std::min(minBegin, begin);
        maxEnd = std::max(maxEnd, end);
        firstDrawn = firstDrawn < 0 ? i : firstDrawn;
        lastDrawn = i;
    }
    rows.count = static_cast<std::int32_t>(row - rows.rows);
    if (rows.count == 0)
        return written;
    PainterFor(blend)(rows);
    // Leaf row i is the picture's row top + i - 2.
    return {left + minBegin, top + firstDrawn - 2, left + maxEnd, top + lastDrawn - 1};
}

}  // namespace wendrel
