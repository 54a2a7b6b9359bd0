#include "leaf_rows.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wendrel {
namespace {

constexpr std::int32_t kSize = kLeafImageSize;
constexpr std::int32_t kCentre8 = 4 * kSize;  // + 4w, + 4h

// The bilinear blend (upper (7 - fy) + lower fy + 24) / 49, with upper and
// lower the rows' (s0 (7 - fx) + s1 fx), multiplied out: one weight per
// sample, the four adding up to 49, for each of the 64 (fx, fy), numbered
// 8 fy + fx. Each row's pair is laid out as its samples are in a quad.
struct alignas(16) QuadWeights {
    std::int16_t row0[8];  // lower-left x3, 0, lower-right x3, 0
    std::int16_t row1[8];  // upper-left x3, 0, upper-right x3, 0
};

constexpr std::array<QuadWeights, 64> MakeWeights() {
    std::array<QuadWeights, 64> weights{};
    for (std::int16_t fy = 0; fy < 8; ++fy) {
        for (std::int16_t fx = 0; fx < 8; ++fx) {
            QuadWeights& w = weights[static_cast<std::size_t>(8 * fy + fx)];
            for (int k = 0; k < 3; ++k) {
                w.row0[k] = static_cast<std::int16_t>((7 - fx) * (7 - fy));
                w.row0[4 + k] = static_cast<std::int16_t>(fx * (7 - fy));
                w.row1[k] = static_cast<std::int16_t>((7 - fx) * fy);
                w.row1[4 + k] = static_cast<std::int16_t>(fx * fy);
            }
        }
    }
    return weights;
}

constexpr std::array<QuadWeights, 64> kWeights = MakeWeights();

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

// Lane masks: the first n of four 32-bit lanes.
struct alignas(16) LaneMask {
    std::int32_t lanes[4];
};
constexpr LaneMask kFirstLanes[5] = {
    {{0, 0, 0, 0}}, {{-1, 0, 0, 0}}, {{-1, -1, 0, 0}}, {{-1, -1, -1, 0}}, {{-1, -1, -1, -1}}};

inline __m128i Load(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

// One pixel's weighted samples, from its quad's and its weights' byte
// offsets: the sum of the low and high halves is the blend before it is
// rounded and divided by 49.
inline __m128i WeighQuad(const std::uint8_t* samples, const std::uint8_t* weights,
                         std::uint32_t sampleOffset, std::uint32_t weightOffset) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i quad = Load(samples + sampleOffset);
    const std::uint8_t* w = weights + weightOffset;
    return _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(quad, zero), Load(w)),
                         _mm_mullo_epi16(_mm_unpackhi_epi8(quad, zero), Load(w + 16)));
}

// Two weighed pixels blended: their colours as words b, g, r, 0, b, g, r, 0.
inline __m128i BlendPair(__m128i first, __m128i second) {
    const __m128i sums =
        _mm_add_epi16(_mm_unpacklo_epi64(first, second), _mm_unpackhi_epi64(first, second));
    const __m128i rounded = _mm_add_epi16(sums, _mm_set1_epi16(24));
    return _mm_srli_epi16(_mm_mulhi_epu16(rounded, _mm_set1_epi16(2675)), 1);
}

// Four blended pixels as 12 bytes b, g, r, b, g, r ... from two pairs.
inline __m128i PackPixels(__m128i pair01, __m128i pair23) {
    const __m128i bgr0 = _mm_packus_epi16(pair01, pair23);  // 4 bytes a pixel
    const __m128i first = _mm_and_si128(bgr0, _mm_set_epi32(0, 0xffffff, 0, 0xffffff));
    const __m128i second = _mm_and_si128(
        _mm_srli_epi64(bgr0, 8),
        _mm_set_epi32(0xffff, static_cast<int>(0xff000000), 0xffff, static_cast<int>(0xff000000)));
    const __m128i pairs = _mm_or_si128(first, second);  // 6 bytes in each half
    const __m128i lowHalf = _mm_set_epi32(0, 0, -1, -1);
    return _mm_or_si128(_mm_and_si128(pairs, lowHalf),
                        _mm_srli_si128(_mm_andnot_si128(lowHalf, pairs), 2));
}
#endif

}  // namespace

void PaintLeafRowPlain(const LeafQuads& quads, const LeafRow& row) {
    FloorStepper column = row.column;
    std::int32_t m = row.m;
    std::uint8_t* dst = row.dst;
    for (std::int32_t j = 0; j < row.count; ++j, dst += 3, m -= row.sn, column.Next()) {
        const std::int32_t col8 = column.Trunc() + kCentre8;
        const std::int32_t row8 = TruncDiv128(m) + kCentre8;
        const std::int32_t quad = (row8 >> 3) * kSize + (col8 >> 3);
        if (!quads.Drawable(quad))
            continue;
        const std::uint8_t* s = quads.samples[quad];
        const QuadWeights& w = kWeights[static_cast<std::size_t>((row8 & 7) << 3 | (col8 & 7))];
        for (int k = 0; k < 3; ++k) {
            const std::int32_t sum = s[k] * w.row0[0] + s[4 + k] * w.row0[4] +
                                     s[8 + k] * w.row1[0] + s[12 + k] * w.row1[4];
            dst[k] = static_cast<std::uint8_t>((sum + 24) / 49);
        }
    }
}

#if defined(__SSE2__)
bool HaveWideLeafRows() {
    return true;
}

void PaintLeafRowWide(const LeafQuads& quads, const LeafRow& row, const FloorStepper& fourSteps,
                      const std::uint8_t* writableEnd) {
    // The column quotient and remainder of four pixels side by side: lane
    // k adds k steps, and gives back each whole divisor in its remainder.
    const FloorStepper& column = row.column;
    const std::int32_t dq = column.StepQuotient(), dr = column.StepRemainder();
    __m128i q = _mm_setr_epi32(column.Floor(), column.Floor() + dq, column.Floor() + 2 * dq,
                               column.Floor() + 3 * dq);
    __m128i r = _mm_setr_epi32(column.Remainder(), column.Remainder() + dr,
                               column.Remainder() + 2 * dr, column.Remainder() + 3 * dr);
    for (int k = 0; k < 3; ++k) {
        const __m128i over = _mm_cmpgt_epi32(r, _mm_set1_epi32(column.Divisor() - 1));
        r = _mm_sub_epi32(r, _mm_and_si128(over, _mm_set1_epi32(column.Divisor())));
        q = _mm_sub_epi32(q, over);
    }
    __m128i m = _mm_setr_epi32(row.m, row.m - row.sn, row.m - 2 * row.sn, row.m - 3 * row.sn);
    const __m128i zero = _mm_setzero_si128();
    const __m128i divisor = _mm_set1_epi32(fourSteps.Divisor());
    const __m128i lastRemainder = _mm_set1_epi32(fourSteps.Divisor() - 1);
    const __m128i stepQuotient = _mm_set1_epi32(fourSteps.StepQuotient());
    const __m128i stepRemainder = _mm_set1_epi32(fourSteps.StepRemainder());
    const __m128i stepM = _mm_set1_epi32(4 * row.sn);
    const __m128i centre = _mm_set1_epi32(kCentre8);
    const __m128i seven = _mm_set1_epi32(7);
    const __m128i rowRounding = _mm_set1_epi32(127);
    const __m128i notFifteen = _mm_set1_epi32(~15);
    const auto* samples = reinterpret_cast<const std::uint8_t*>(quads.samples);
    const auto* weights = reinterpret_cast<const std::uint8_t*>(kWeights.data());

    const std::int32_t count = row.count;
    std::uint8_t* dst = row.dst;
    for (std::int32_t j = 0; j < count; j += 4, dst += 12) {
        // col8 = trunc + 192: the floor, plus one where negative and inexact.
        const __m128i upByOne =
            _mm_andnot_si128(_mm_cmpeq_epi32(r, zero), _mm_cmpgt_epi32(zero, q));
        const __m128i col8 = _mm_add_epi32(_mm_sub_epi32(q, upByOne), centre);
        const __m128i row8 = _mm_add_epi32(
            _mm_srai_epi32(_mm_add_epi32(m, _mm_and_si128(_mm_srai_epi32(m, 31), rowRounding)), 7),
            centre);
        // Byte offsets of each pixel's quad, 16 (row8 / 8 * 48 + col8 / 8),
        // and of its weights, 32 (row8 % 8 * 8 + col8 % 8); lanes past the
        // row's end take quad 0 and are never drawn.
        const std::int32_t lanes = count - j < 4 ? count - j : 4;
        const __m128i inRow = Load(kFirstLanes[lanes].lanes);
        const __m128i srow = _mm_srai_epi32(row8, 3);
        const __m128i quad =
            _mm_add_epi32(_mm_add_epi32(_mm_slli_epi32(srow, 9), _mm_slli_epi32(srow, 8)),
                          _mm_and_si128(_mm_slli_epi32(col8, 1), notFifteen));
        const __m128i weight = _mm_or_si128(_mm_slli_epi32(_mm_and_si128(row8, seven), 8),
                                            _mm_slli_epi32(_mm_and_si128(col8, seven), 5));
        alignas(16) std::uint32_t quadAt[4], weightAt[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(quadAt), _mm_and_si128(quad, inRow));
        _mm_store_si128(reinterpret_cast<__m128i*>(weightAt), _mm_and_si128(weight, inRow));

        r = _mm_add_epi32(r, stepRemainder);
        const __m128i carry = _mm_cmpgt_epi32(r, lastRemainder);
        r = _mm_sub_epi32(r, _mm_and_si128(carry, divisor));
        q = _mm_sub_epi32(_mm_add_epi32(q, stepQuotient), carry);
        m = _mm_sub_epi32(m, stepM);

        const unsigned drawn = (samples[quadAt[0] + 3] | samples[quadAt[1] + 3] << 1 |
                                samples[quadAt[2] + 3] << 2 | samples[quadAt[3] + 3] << 3) &
                               ((1u << lanes) - 1);
        if (drawn == 0)
            continue;

        const __m128i pixels =
            PackPixels(BlendPair(WeighQuad(samples, weights, quadAt[0], weightAt[0]),
                                 WeighQuad(samples, weights, quadAt[1], weightAt[1])),
                       BlendPair(WeighQuad(samples, weights, quadAt[2], weightAt[2]),
                                 WeighQuad(samples, weights, quadAt[3], weightAt[3])));
        if (writableEnd - dst >= 16) {
            const __m128i mask = Load(kPixelMasks[drawn].bytes);
            const __m128i old = Load(dst);
            _mm_storeu_si128(
                reinterpret_cast<__m128i*>(dst),
                _mm_or_si128(_mm_and_si128(mask, pixels), _mm_andnot_si128(mask, old)));
        } else {
            // At the very end of the frame: pixel by pixel.
            alignas(16) std::uint8_t bytes[16];
            _mm_store_si128(reinterpret_cast<__m128i*>(bytes), pixels);
            for (int lane = 0; lane < lanes; ++lane)
                if (drawn >> lane & 1)
                    std::memcpy(dst + 3 * lane, bytes + 3 * lane, 3);
        }
    }
}
#else
bool HaveWideLeafRows() {
    return false;
}

void PaintLeafRowWide(const LeafQuads& quads, const LeafRow& row, const FloorStepper&,
                      const std::uint8_t*) {
    PaintLeafRowPlain(quads, row);
}
#endif

}  // namespace wendrel
