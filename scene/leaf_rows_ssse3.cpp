// The SSSE3 leaf row painter: the SSE2 painter's steps, with each quad's
// channels weighed as bytes. Compiled for SSSE3 function by function, so
// the program still runs where the processor lacks it (HaveSsse3LeafRows
// asks). Builds for other processors or without SSE2 paint as
// PaintLeafRowsSse2 instead.
#include "scene/leaf_blend.h"
#include "scene/leaf_rows.h"
#include "scene/leaf_rows_wide.h"

#if defined(__SSE2__) && (defined(__i386__) || defined(__x86_64__))
#include <tmmintrin.h>
#define WENDREL_SSSE3_ROWS 1
#endif

namespace wendrel {

#if defined(WENDREL_SSSE3_ROWS)
namespace {

using wide_rows::Load;
static_assert(sizeof(leaf_blend::ByteWeights) == 16,
              "the wide steps' weight offsets step by 16 bytes");

// Two pixels blended from their quads and byte weights: each quad's
// channels weighed and added in pairs of samples, then the pairs added.
[[gnu::target("ssse3")]] inline __m128i BlendPair(__m128i quadA, __m128i weightsA, __m128i quadB,
                                                  __m128i weightsB) {
    return wide_rows::Divide49(
        _mm_hadd_epi16(_mm_maddubs_epi16(quadA, weightsA), _mm_maddubs_epi16(quadB, weightsB)));
}

}  // namespace

bool HaveSsse3LeafRows() {
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
}

// Flattened: the row loop it shares with SSE2 is inlined here, where the
// SSSE3 blend can then be inlined into it.
[[gnu::target("ssse3"), gnu::flatten]] void PaintLeafRowsSsse3(const LeafRows& rows) {
    const auto* weights = reinterpret_cast<const std::uint8_t*>(leaf_blend::kByteWeights.data());
    // Four pixels' b, g, r, x bytes to 12 bytes b, g, r, b, g, r ...
    const __m128i dropFourth =
        _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    wide_rows::PaintRowsWide(
        rows, [ weights, dropFourth ](const __m128i* q, const std::uint16_t* weightAt)
                  __attribute__((target("ssse3"))) {
                      return _mm_shuffle_epi8(
                          _mm_packus_epi16(BlendPair(q[0], Load(weights + weightAt[0]), q[1],
                                                     Load(weights + weightAt[1])),
                                           BlendPair(q[2], Load(weights + weightAt[2]), q[3],
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
