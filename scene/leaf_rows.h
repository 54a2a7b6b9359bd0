#pragma once

#include <cstdint>

#include "scene/leaf_images.h"

namespace wendrel {

// Pixels stepped side by side by the wide painters.
constexpr std::int32_t kLeafLanes = 8;

// The image's centre in eighths of a pixel (4 w, 4 h): a sample's place is
// the turned offset from it, in eighths, plus this.
constexpr std::int32_t kLeafCentre8 = 4 * kLeafImageSize;

// The frame rows of one turned leaf, every pixel of them with its four
// samples inside the image, and what is the same for all of them.
//
// At a pixel dx columns right of the leaf's centre, on the row dy below it:
// - the column sample is col8 = trunc(n / divisor) + 192 in eighths, with
//   n = dx * columnStep + dy * rowStep; n is split into its two terms, each
//   divided once (the quotients as floors), and the remainders' sum carried;
// - the row sample is row8 = trunc(m / 128) + 192, m falling by sn a pixel.
struct LeafRows {
    struct Row {
        std::uint8_t* dst;      // its first pixel in the frame
        std::int32_t begin;     // that pixel's leaf column (dx + 24)
        std::int32_t count;     // pixels
        std::int32_t quotient;  // floor(dy * rowStep / divisor)
        std::int32_t remainder;
        std::int32_t m;  // at the first pixel
    };

    const LeafQuads* quads = nullptr;
    // Bytes up to here may be read and written back unchanged.
    const std::uint8_t* writableEnd = nullptr;
    std::int32_t divisor = 1;  // > 0
    std::int32_t sn = 0;
    // floor((c - 24) * columnStep / divisor) and the remainder, for leaf
    // columns c = 0 ... 55, kept to 16 bits: the quotient wraps around, as
    // only sums that land back in range are used. Column 24 + kLeafLanes
    // gives the step over kLeafLanes pixels.
    std::int16_t columnQuotient[kLeafImageSize + kLeafLanes];
    std::int16_t columnRemainder[kLeafImageSize + kLeafLanes];
    std::int32_t count = 0;
    Row rows[kLeafImageSize];
};

// Blends each pixel of the rows whose quad is drawable. All give the same
// bytes.
using LeafRowsPainter = void (*)(const LeafRows& rows);

// One pixel at a time.
void PaintLeafRowsPlain(const LeafRows& rows);
// Eight pixels stepped at a time, blended four at a time with SSE2; as
// PaintLeafRowsPlain where the build has no SSE2.
void PaintLeafRowsSse2(const LeafRows& rows);
// The same, blended with SSSE3; call only where HaveSsse3LeafRows().
void PaintLeafRowsSsse3(const LeafRows& rows);

// Whether PaintLeafRowsSse2 uses SSE2 in this build.
bool HaveSse2LeafRows();
// Whether this build has PaintLeafRowsSsse3 and this processor can run it.
bool HaveSsse3LeafRows();

}  // namespace wendrel
