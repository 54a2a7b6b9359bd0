// The plain leaf row painter: one pixel at a time, the rule as it stands.
#include "scene/leaf_blend.h"
#include "scene/leaf_rows.h"

namespace wendrel {

void leaf_blend::PaintRowPlain(const LeafRows& rows, const LeafRows::Row& row) {
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
        const std::int32_t col8 = q + (q < 0 && r != 0 ? 1 : 0) + kLeafCentre8;
        const std::int32_t row8 = leaf_blend::TruncDiv128(m) + kLeafCentre8;
        const std::int32_t quad = (row8 >> 3) * kLeafImageSize + (col8 >> 3);
        if (!quads.Drawable(quad))
            continue;
        const std::uint8_t* s = quads.samples[quad];
        const std::int8_t* w =
            leaf_blend::kByteWeights[static_cast<std::size_t>((row8 & 7) << 3 | (col8 & 7))].w;
        for (int k = 0; k < 3; ++k) {
            const std::uint8_t* channel = s + 4 * k;
            const std::int32_t sum =
                channel[0] * w[0] + channel[1] * w[1] + channel[2] * w[2] + channel[3] * w[3];
            dst[k] = static_cast<std::uint8_t>((sum + leaf_blend::kRounding) / leaf_blend::kTotal);
        }
    }
}

void PaintLeafRowsPlain(const LeafRows& rows) {
    for (std::int32_t i = 0; i < rows.count; ++i)
        leaf_blend::PaintRowPlain(rows, rows.rows[i]);
}

}  // namespace wendrel
