#include "scene/leaf_rows.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && (defined(__i386__) || defined(__x86_64__))
#include <tmmintrin.h>
#define WENDREL_SSSE3_ROWS 1
#endif

namespace wendrel {
namespace {

constexpr std::int32_t kSize = kLeafImageSize;
constexpr std::int32_t kCentre8 = 4 * kSize;  // + 4w, + 4h

// The bilinear blend (lower (7 - fy) + upper fy + 24) / 49, with lower and
// upper the rows' (s0 (7 - fx) + s1 fx), multiplied out: one weight per
// sample, the four adding up to 49, for each of the 64 (fx, fy), numbered
// 8 fy + fx, in the order of a quad's samples: lower-left, lower-right,
// upper-left, upper-right. As bytes, once for each channel of a quad:
struct alignas(16) ByteWeights {
    std::int8_t w[16];  // the four weights three times, then 0 for the flag's bytes
};
// and as words, for a quad's channels widened two at a time:
struct alignas(16) WordWeights {
    std::int16_t w[8];  // the four weights twice
};

constexpr std::int8_t SampleWeight(int fx, int fy, int sample) {
    const int across = sample % 2 ? fx : 7 - fx;
    const int down = sample / 2 ? fy : 7 - fy;
    return static_cast<std::int8_t>(across * down);
}

constexpr std::array<ByteWeights, 64> MakeByteWeights() {
    std::array<ByteWeights, 64> weights{};
    for (int f = 0; f < 64; ++f)
        for (int b = 0; b < 12; ++b)
            weights[static_cast<std::size_t>(f)].w[b] = SampleWeight(f % 8, f / 8, b % 4);
    return weights;
}

constexpr std::array<WordWeights, 64> MakeWordWeights() {
    std::array<WordWeights, 64> weights{};
    for (int f = 0; f < 64; ++f)
        for (int b = 0; b < 8; ++b)
            weights[static_cast<std::size_t>(f)].w[b] = SampleWeight(f % 8, f / 8, b % 4);
    return weights;
}

constexpr std::array<ByteWeights, 64> kByteWeights = MakeByteWeights();
constexpr std::array<WordWeights, 64> kWordWeights = MakeWordWeights();
static_assert(sizeof(ByteWeights) == 16 && sizeof(WordWeights) == 16,
              "one weight offset serves both tables");

// trunc(m / 128), without dividing.
inline std::int32_t TruncDiv128(std::int32_t m) {
    return (m + ((m >> 31) & 127)) >> 7;
}

#if defined(__SSE2__)
// The largest sum the blend divides: 255 * 49 + 24. Up to it, x / 49 is
// (x * 2675) >> 17, the high half of a 16-bit product shifted once more.
constexpr std::int32_t kLargestSum = 255 * 49 + 24;
constexpr bool DivisionBy49HoldsUpTo(std::int32_t largest) {
    for (std::int32_t x = 0; x <= largest; ++x)
        if ((x * 2675) >> 17 != x / 49)
            return false;
    return true;
}
static_assert(DivisionBy49HoldsUpTo(kLargestSum));

// Byte masks for the 12 bytes of four pixels, by which of them are drawn.
struct alignas(16) PixelMask {
    std::uint8_t bytes[16];
};

constexpr std::array<PixelMask, 16> MakePixelMasks() {
    std::array<PixelMask, 16> masks{};
    for (std::size_t drawn = 0; drawn < 16; ++drawn)
        for (std::size_t b = 0; b < 12; ++b)
            masks[drawn].bytes[b] = (drawn >> (b / 3)) & 1 ? 0xff : 0;
    return masks;
}

constexpr std::array<PixelMask, 16> kPixelMasks = MakePixelMasks();

// Lane masks: the first n of eight 16-bit lanes.
struct alignas(16) LaneMask {
    std::int16_t lanes[kLeafLanes];
};

constexpr std::array<LaneMask, kLeafLanes + 1> MakeLaneMasks() {
    std::array<LaneMask, kLeafLanes + 1> masks{};
    for (std::size_t n = 0; n <= kLeafLanes; ++n)
        for (std::size_t lane = 0; lane < n; ++lane)
            masks[n].lanes[lane] = -1;
    return masks;
}

constexpr std::array<LaneMask, kLeafLanes + 1> kFirstLanes = MakeLaneMasks();

inline __m128i Load(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

// Where the remainders have reached the divisor, takes it back and carries.
inline void Carry(__m128i& quotient, __m128i& remainder, __m128i lastRemainder, __m128i divisor) {
    const __m128i over = _mm_cmpgt_epi16(remainder, lastRemainder);
    remainder = _mm_sub_epi16(remainder, _mm_and_si128(over, divisor));
    quotient = _mm_sub_epi16(quotient, over);
}

// The quads and weights of eight pixels side by side, as byte offsets into
// the quad records and the weight tables, stepped eight pixels at a time
// in 16-bit lanes. Inside the rows every value kept is small: the column
// quotients (as floors, with their remainders) and the row numerators m,
// whose samples lie inside the image (|m| < 193 * 128). Lanes past a row's
// end may wrap around, and are masked.
class EightPixelSteps {
  public:
    explicit EightPixelSteps(const LeafRows& rows)
        : m_rows(rows),
          m_columnDivisor(_mm_set1_epi16(static_cast<std::int16_t>(rows.divisor))),
          m_columnLast(_mm_set1_epi16(static_cast<std::int16_t>(rows.divisor - 1))),
          // kLeafLanes columns right of the centre: kLeafLanes steps.
          m_columnStepQuotient(_mm_set1_epi16(rows.columnQuotient[kSize / 2 + kLeafLanes])),
          m_columnStepRemainder(_mm_set1_epi16(rows.columnRemainder[kSize / 2 + kLeafLanes])),
          m_rowStep(_mm_set1_epi16(static_cast<std::int16_t>(-kLeafLanes * rows.sn))) {
        // Lane k's row numerator is m - k sn.
        alignas(16) std::int16_t offsets[kLeafLanes];
        for (std::int32_t k = 0; k < kLeafLanes; ++k)
            offsets[k] = static_cast<std::int16_t>(-k * rows.sn);
        m_rowLaneOffsets = Load(offsets);
    }

    void StartRow(const LeafRows::Row& row) {
        m_columnQuotients = _mm_add_epi16(_mm_set1_epi16(static_cast<std::int16_t>(row.quotient)),
                                          Load(m_rows.columnQuotient + row.begin));
        m_columnRemainders = _mm_add_epi16(_mm_set1_epi16(static_cast<std::int16_t>(row.remainder)),
                                           Load(m_rows.columnRemainder + row.begin));
        Carry(m_columnQuotients, m_columnRemainders, m_columnLast, m_columnDivisor);
        m_rowNumerators =
            _mm_add_epi16(_mm_set1_epi16(static_cast<std::int16_t>(row.m)), m_rowLaneOffsets);
    }

    // The next eight pixels' offsets, 16 (row8 / 8 * 48 + col8 / 8) for the
    // quad and 16 (row8 % 8 * 8 + col8 % 8) for the weights; lanes outside
    // `inRow` take 0. Then on by eight pixels.
    void Take(__m128i inRow, std::uint16_t* quadAt, std::uint16_t* weightAt) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i centre = _mm_set1_epi16(kCentre8);
        const __m128i seven = _mm_set1_epi16(7);
        // col8 = trunc + 192: the floor, plus one where negative and inexact
        // (remainders are never negative).
        const __m128i col8 = _mm_sub_epi16(_mm_add_epi16(m_columnQuotients, centre),
                                           _mm_and_si128(_mm_cmpgt_epi16(m_columnRemainders, zero),
                                                         _mm_srai_epi16(m_columnQuotients, 15)));
        // row8 = trunc(m / 128) + 192.
        const __m128i m = m_rowNumerators;
        const __m128i row8 = _mm_add_epi16(
            _mm_srai_epi16(
                _mm_add_epi16(m, _mm_and_si128(_mm_srai_epi16(m, 15), _mm_set1_epi16(127))), 7),
            centre);
        // Up to 16 * 2303: unsigned 16-bit.
        const __m128i quad =
            _mm_add_epi16(_mm_mullo_epi16(_mm_srai_epi16(row8, 3), _mm_set1_epi16(16 * kSize)),
                          _mm_and_si128(_mm_slli_epi16(col8, 1), _mm_set1_epi16(~15)));
        const __m128i weight = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(row8, seven), 7),
                                            _mm_slli_epi16(_mm_and_si128(col8, seven), 4));
        _mm_store_si128(reinterpret_cast<__m128i*>(quadAt), _mm_and_si128(quad, inRow));
        _mm_store_si128(reinterpret_cast<__m128i*>(weightAt), _mm_and_si128(weight, inRow));

        m_columnRemainders = _mm_add_epi16(m_columnRemainders, m_columnStepRemainder);
        m_columnQuotients = _mm_add_epi16(m_columnQuotients, m_columnStepQuotient);
        Carry(m_columnQuotients, m_columnRemainders, m_columnLast, m_columnDivisor);
        m_rowNumerators = _mm_add_epi16(m_rowNumerators, m_rowStep);
    }

  private:
    const LeafRows& m_rows;
    const __m128i m_columnDivisor;
    const __m128i m_columnLast;
    const __m128i m_columnStepQuotient;
    const __m128i m_columnStepRemainder;
    const __m128i m_rowStep;
    __m128i m_rowLaneOffsets;
    __m128i m_columnQuotients = _mm_setzero_si128();
    __m128i m_columnRemainders = _mm_setzero_si128();
    __m128i m_rowNumerators = _mm_setzero_si128();
};

// Which of four quads are drawn, one bit each: their flags' top bits.
inline unsigned DrawnFlags(__m128i q0, __m128i q1, __m128i q2, __m128i q3) {
    static_assert(LeafQuads::kFlagByte == 15 && LeafQuads::kDrawnFlag == 0x80);
    const __m128i flags =
        _mm_unpackhi_epi64(_mm_unpackhi_epi32(q0, q1), _mm_unpackhi_epi32(q2, q3));
    return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(flags)));
}

// Blended sums, as words, rounded and divided by 49.
inline __m128i Divide49(__m128i sums) {
    return _mm_srli_epi16(
        _mm_mulhi_epu16(_mm_add_epi16(sums, _mm_set1_epi16(24)), _mm_set1_epi16(2675)), 1);
}

// Four pixels' drawn bytes into the frame, 12 bytes in the low part of
// `pixels`, merged in one 16-byte write.
inline void StoreFour(std::uint8_t* dst, __m128i pixels, unsigned drawn) {
    const __m128i mask = Load(kPixelMasks[drawn].bytes);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                     _mm_or_si128(_mm_and_si128(mask, pixels), _mm_andnot_si128(mask, Load(dst))));
}

// Two pixels blended from their quads and word weights: their colours as
// words b, g, r, x, b, g, r, x (x to be dropped).
inline __m128i BlendPairSse2(__m128i quadA, __m128i weightsA, __m128i quadB, __m128i weightsB) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi16(1);
    // Per pixel: the lower and upper rows' blue and green, then their red.
    const __m128i blueGreenA = _mm_madd_epi16(_mm_unpacklo_epi8(quadA, zero), weightsA);
    const __m128i redA = _mm_madd_epi16(_mm_unpackhi_epi8(quadA, zero), weightsA);
    const __m128i blueGreenB = _mm_madd_epi16(_mm_unpacklo_epi8(quadB, zero), weightsB);
    const __m128i redB = _mm_madd_epi16(_mm_unpackhi_epi8(quadB, zero), weightsB);
    // The rows added: a.b, a.g, b.b, b.g and a.r, a.x, b.r, b.x.
    const __m128i blueGreen = _mm_madd_epi16(_mm_packs_epi32(blueGreenA, blueGreenB), ones);
    const __m128i red = _mm_madd_epi16(_mm_packs_epi32(redA, redB), ones);
    return Divide49(
        _mm_packs_epi32(_mm_unpacklo_epi64(blueGreen, red), _mm_unpackhi_epi64(blueGreen, red)));
}

// Four blended pixels as 12 bytes b, g, r, b, g, r ... from two pairs.
inline __m128i PackPixelsSse2(__m128i pair01, __m128i pair23) {
    const __m128i bgrx = _mm_packus_epi16(pair01, pair23);  // 4 bytes a pixel
    const __m128i first = _mm_and_si128(bgrx, _mm_set_epi32(0, 0xffffff, 0, 0xffffff));
    const __m128i second = _mm_and_si128(
        _mm_srli_epi64(bgrx, 8),
        _mm_set_epi32(0xffff, static_cast<int>(0xff000000), 0xffff, static_cast<int>(0xff000000)));
    const __m128i pairs = _mm_or_si128(first, second);  // 6 bytes in each half
    const __m128i lowHalf = _mm_set_epi32(0, 0, -1, -1);
    return _mm_or_si128(_mm_and_si128(pairs, lowHalf),
                        _mm_srli_si128(_mm_andnot_si128(lowHalf, pairs), 2));
}
#endif

#if defined(WENDREL_SSSE3_ROWS)
// Two pixels blended from their quads and byte weights: each quad's
// channels weighed and added in pairs of samples, then the pairs added.
[[gnu::target("ssse3")]] inline __m128i BlendPairSsse3(__m128i quadA, __m128i weightsA,
                                                       __m128i quadB, __m128i weightsB) {
    return Divide49(
        _mm_hadd_epi16(_mm_maddubs_epi16(quadA, weightsA), _mm_maddubs_epi16(quadB, weightsB)));
}
#endif

}  // namespace

namespace {

void PaintRowPlain(const LeafRows& rows, const LeafRows::Row& row) {
    const LeafQuads& quads = *rows.quads;
    std::uint8_t* dst = row.dst;
    std::int32_t m = row.m;
    for (std::int32_t j = 0; j < row.count; ++j, dst += 3, m -= rows.sn) {
        // The column terms' floors and remainders added, with the carry;
        // the true quotient is small, so its low 16 bits give it back.
        const std::int32_t c = row.begin + j;
        std::int32_t r = row.remainder + rows.columnRemainder[c];
        std::int32_t q = row.quotient + rows.columnQuotient[c];
        if (r >= rows.divisor) {
            r -= rows.divisor;
            ++q;
        }
        q = static_cast<std::int16_t>(q);
        const std::int32_t col8 = q + (q < 0 && r != 0 ? 1 : 0) + kCentre8;
        const std::int32_t row8 = TruncDiv128(m) + kCentre8;
        const std::int32_t quad = (row8 >> 3) * kSize + (col8 >> 3);
        if (!quads.Drawable(quad))
            continue;
        const std::uint8_t* s = quads.samples[quad];
        const std::int8_t* w =
            kByteWeights[static_cast<std::size_t>((row8 & 7) << 3 | (col8 & 7))].w;
        for (int k = 0; k < 3; ++k) {
            const std::uint8_t* channel = s + 4 * k;
            const std::int32_t sum =
                channel[0] * w[0] + channel[1] * w[1] + channel[2] * w[2] + channel[3] * w[3];
            dst[k] = static_cast<std::uint8_t>((sum + 24) / 49);
        }
    }
}

#if defined(__SSE2__)
// The rows eight pixels at a time, `blendFour` giving four pixels' 12 bytes
// from their quads and weight offsets. A row whose last 16-byte writes
// would pass the frame's end is painted pixel by pixel.
template <typename BlendFour>
[[gnu::always_inline]] inline void PaintRowsWide(const LeafRows& rows, BlendFour blendFour) {
    EightPixelSteps steps(rows);
    const auto* samples = reinterpret_cast<const std::uint8_t*>(rows.quads->samples);
    const __m128i allLanes = Load(kFirstLanes[kLeafLanes].lanes);
    for (std::int32_t i = 0; i < rows.count; ++i) {
        const LeafRows::Row& row = rows.rows[i];
        const std::int32_t groups = (row.count + kLeafLanes - 1) / kLeafLanes;
        if (rows.writableEnd - row.dst < 3 * kLeafLanes * groups + 4) {
            PaintRowPlain(rows, row);
            continue;
        }
        steps.StartRow(row);
        // Lanes past the row's end take quad 0 and are never drawn.
        const auto paintEight = [&](std::uint8_t* dst, __m128i inRow, unsigned inRowBits) {
            alignas(16) std::uint16_t quadAt[kLeafLanes], weightAt[kLeafLanes];
            steps.Take(inRow, quadAt, weightAt);
            __m128i q[kLeafLanes];
            for (int k = 0; k < kLeafLanes; ++k)
                q[k] = Load(samples + quadAt[k]);
            const unsigned drawn =
                (DrawnFlags(q[0], q[1], q[2], q[3]) | DrawnFlags(q[4], q[5], q[6], q[7]) << 4) &
                inRowBits;
            if (drawn & 15)
                StoreFour(dst, blendFour(q, weightAt), drawn & 15);
            if (drawn >> 4)
                StoreFour(dst + 12, blendFour(q + 4, weightAt + 4), drawn >> 4);
        };
        std::uint8_t* dst = row.dst;
        std::int32_t left = row.count;
        for (; left >= kLeafLanes; left -= kLeafLanes, dst += 3 * kLeafLanes)
            paintEight(dst, allLanes, 0xff);
        if (left > 0)
            paintEight(dst, Load(kFirstLanes[static_cast<std::size_t>(left)].lanes),
                       (1u << left) - 1);
    }
}
#endif

}  // namespace

void PaintLeafRowsPlain(const LeafRows& rows) {
    for (std::int32_t i = 0; i < rows.count; ++i)
        PaintRowPlain(rows, rows.rows[i]);
}

#if defined(__SSE2__)
bool HaveSse2LeafRows() {
    return true;
}

void PaintLeafRowsSse2(const LeafRows& rows) {
    const auto* weights = reinterpret_cast<const std::uint8_t*>(kWordWeights.data());
    PaintRowsWide(rows, [weights](const __m128i* q, const std::uint16_t* weightAt) {
        return PackPixelsSse2(
            BlendPairSse2(q[0], Load(weights + weightAt[0]), q[1], Load(weights + weightAt[1])),
            BlendPairSse2(q[2], Load(weights + weightAt[2]), q[3], Load(weights + weightAt[3])));
    });
}
#else
bool HaveSse2LeafRows() {
    return false;
}

void PaintLeafRowsSse2(const LeafRows& rows) {
    PaintLeafRowsPlain(rows);
}
#endif

#if defined(WENDREL_SSSE3_ROWS)
bool HaveSsse3LeafRows() {
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
}

// Flattened: the row loop it shares with SSE2 is inlined here, where the
// SSSE3 blend can then be inlined into it.
[[gnu::target("ssse3"), gnu::flatten]] void PaintLeafRowsSsse3(const LeafRows& rows) {
    const auto* weights = reinterpret_cast<const std::uint8_t*>(kByteWeights.data());
    // Four pixels' b, g, r, x bytes to 12 bytes b, g, r, b, g, r ...
    const __m128i dropFourth =
        _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    PaintRowsWide(
        rows, [ weights, dropFourth ](const __m128i* q, const std::uint16_t* weightAt)
                  __attribute__((target("ssse3"))) {
                      return _mm_shuffle_epi8(
                          _mm_packus_epi16(BlendPairSsse3(q[0], Load(weights + weightAt[0]), q[1],
                                                          Load(weights + weightAt[1])),
                                           BlendPairSsse3(q[2], Load(weights + weightAt[2]), q[3],
                                                          Load(weights + weightAt[3]))),
                          dropFourth);
                  });
}
#else
bool HaveSsse3LeafRows() {
    return false;
}

void PaintLeafRowsSsse3(const LeafRows& rows) {
    PaintLeafRowsSse2(rows);
}
#endif

}  // namespace wendrel
