// The SSE2 leaf row painter: eight pixels stepped at a time, blended four
// at a time with the channels widened to words. Builds without SSE2 paint
// with the plain painter instead.
#include "scene/leaf_blend.h"
#include "scene/leaf_rows.h"
#include "scene/leaf_rows_wide.h"

namespace wendrel {

#if defined(__SSE2__)
namespace {

using wide_rows::Load;

// The blend's weights as words, for a quad's channels widened two at a time.
struct alignas(16) WordWeights {
    std::int16_t w[8];  // the four weights twice
};
static_assert(sizeof(WordWeights) == 16, "the wide steps' weight offsets step by 16 bytes");

constexpr std::array<WordWeights, 64> MakeWordWeights() {
    std::array<WordWeights, 64> weights{};
    for (int f = 0; f < 64; ++f)
        for (int b = 0; b < 8; ++b)
            weights[static_cast<std::size_t>(f)].w[b] =
                leaf_blend::SampleWeight(f % 8, f / 8, b % 4);
    return weights;
}

constexpr std::array<WordWeights, 64> kWordWeights = MakeWordWeights();

// Two pixels blended from their quads and word weights: their colours as
// words b, g, r, x, b, g, r, x (x to be dropped).
inline __m128i BlendPair(__m128i quadA, __m128i weightsA, __m128i quadB, __m128i weightsB) {
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
    return wide_rows::Divide49(
        _mm_packs_epi32(_mm_unpacklo_epi64(blueGreen, red), _mm_unpackhi_epi64(blueGreen, red)));
}

// Four blended pixels as 12 bytes b, g, r, b, g, r ... from two pairs.
inline __m128i PackPixels(__m128i pair01, __m128i pair23) {
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

}  // namespace

bool HaveSse2LeafRows() {
    return true;
}

void PaintLeafRowsSse2(const LeafRows& rows) {
    const auto* weights = reinterpret_cast<const std::uint8_t*>(kWordWeights.data());
    wide_rows::PaintRowsWide(rows, [weights](const __m128i* q, const std::uint16_t* weightAt) {
        return PackPixels(
            BlendPair(q[0], Load(weights + weightAt[0]), q[1], Load(weights + weightAt[1])),
            BlendPair(q[2], Load(weights + weightAt[2]), q[3], Load(weights + weightAt[3])));
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

}  // namespace wendrel
