// What every leaf row painter shares: where a pixel's samples are, and how
// its four samples are blended. The painters differ only in how many
// pixels they take at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "scene/leaf_rows.h"

namespace wendrel::leaf_blend {

// Each channel of a pixel is its four samples weighed (SampleWeight) and
// added, then rounded and divided by the weights' total:
// (sum + kRounding) / kTotal.
constexpr std::int32_t kTotal = 49;
constexpr std::int32_t kRounding = 24;

// The blend (lower (7 - fy) + upper fy + 24) / 49, with lower and upper the
// rows' (s0 (7 - fx) + s1 fx), multiplied out: one weight per sample, the
// four adding up to 49, for each of the 64 (fx, fy), numbered 8 fy + fx,
// in the order of a quad's samples: lower-left, lower-right, upper-left,
// upper-right.
constexpr std::int8_t SampleWeight(int fx, int fy, int sample) {
    const int across = sample % 2 ? fx : 7 - fx;
    const int down = sample / 2 ? fy : 7 - fy;
    return static_cast<std::int8_t>(across * down);
}
static_assert(SampleWeight(3, 5, 0) + SampleWeight(3, 5, 1) + SampleWeight(3, 5, 2) +
                  SampleWeight(3, 5, 3) ==
              kTotal);

// The weights as bytes, once for each channel of a quad.
struct alignas(16) ByteWeights {
    std::int8_t w[16];  // the four weights three times, then 0 for the flag's bytes
};

constexpr std::array<ByteWeights, 64> MakeByteWeights() {
    std::array<ByteWeights, 64> weights{};
    for (int f = 0; f < 64; ++f)
        for (int b = 0; b < 12; ++b)
            weights[static_cast<std::size_t>(f)].w[b] = SampleWeight(f % 8, f / 8, b % 4);
    return weights;
}

inline constexpr std::array<ByteWeights, 64> kByteWeights = MakeByteWeights();

// trunc(m / 128), without dividing.
inline std::int32_t TruncDiv128(std::int32_t m) {
    return (m + ((m >> 31) & 127)) >> 7;
}

// One row pixel by pixel: the plain painter's, and the wide painters' where
// their 16-byte writes would pass the frame's end.
void PaintRowPlain(const LeafRows& rows, const LeafRows::Row& row);

}  // namespace wendrel::leaf_blend
