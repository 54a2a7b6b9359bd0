// What the wide leaf row painters (SSE2, SSSE3) share: the stepping of
// eight pixels' samples side by side, the writes, and the row loop that
// takes a painter's way of blending four pixels. Only where the build has
// SSE2.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "scene/leaf_blend.h"
#include "scene/leaf_rows.h"

namespace wendrel::wide_rows {

// The largest sum the blend divides: 255 * 49 + 24. Up to it, x / 49 is
// (x * 2675) >> 17, the high half of a 16-bit product shifted once more.
constexpr std::int32_t kLargestSum = 255 * leaf_blend::kTotal + leaf_blend::kRounding;
constexpr bool DivisionBy49HoldsUpTo(std::int32_t largest) {
    for (std::int32_t x = 0; x <= largest; ++x)
        if ((x * 2675) >> 17 != x / leaf_blend::kTotal)
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

inline constexpr std::array<PixelMask, 16> kPixelMasks = MakePixelMasks();

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

inline constexpr std::array<LaneMask, kLeafLanes + 1> kFirstLanes = MakeLaneMasks();

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
          m_columnStepQuotient(
              _mm_set1_epi16(rows.columnQuotient[kLeafImageSize / 2 + kLeafLanes])),
          m_columnStepRemainder(
              _mm_set1_epi16(rows.columnRemainder[kLeafImageSize / 2 + kLeafLanes])),
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
    // quad and 16 (row8 % 8 * 8 + col8 % 8) for the weights (a painter's
    // weight table has 16 bytes for each); lanes outside `inRow` take 0.
    // Then on by eight pixels.
    void Take(__m128i inRow, std::uint16_t* quadAt, std::uint16_t* weightAt) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i centre = _mm_set1_epi16(kLeafCentre8);
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
        const __m128i quad = _mm_add_epi16(
            _mm_mullo_epi16(_mm_srai_epi16(row8, 3), _mm_set1_epi16(16 * kLeafImageSize)),
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
        _mm_mulhi_epu16(_mm_add_epi16(sums, _mm_set1_epi16(leaf_blend::kRounding)),
                        _mm_set1_epi16(2675)),
        1);
}

// Four pixels' drawn bytes into the frame, 12 bytes in the low part of
// `pixels`, merged in one 16-byte write.
inline void StoreFour(std::uint8_t* dst, __m128i pixels, unsigned drawn) {
    const __m128i mask = Load(kPixelMasks[drawn].bytes);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                     _mm_or_si128(_mm_and_si128(mask, pixels), _mm_andnot_si128(mask, Load(dst))));
}

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
            leaf_blend::PaintRowPlain(rows, row);
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

}  // namespace wendrel::wide_rows

#endif
