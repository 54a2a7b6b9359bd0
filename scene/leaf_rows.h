#pragma once

#include <cstdint>

#include "floor_stepper.h"
#include "leaf_images.h"

namespace wendrel {

// One frame row of a turned leaf: `count` pixels from `dst` on, every one
// with its four samples inside the image. Along the row the column sample
// is trunc(column quotient) + 192 in eighths, the row sample trunc(m / 128)
// + 192, and m falls by `sn` a pixel.
struct LeafRow {
    std::uint8_t* dst;
    std::int32_t count;
    FloorStepper column;
    std::int32_t m;
    std::int32_t sn;
};

// Blends each pixel of the row whose quad is drawable. All give the same
// bytes. `fourSteps` steps the column quotient by four pixels (only its
// steps are used); bytes from dst up to `writableEnd` may be read and
// written back unchanged.
using LeafRowPainter = void (*)(const LeafQuads& quads, const LeafRow& row,
                                const FloorStepper& fourSteps, const std::uint8_t* writableEnd);

// One pixel at a time.
void PaintLeafRowPlain(const LeafQuads& quads, const LeafRow& row, const FloorStepper& fourSteps,
                       const std::uint8_t* writableEnd);
// Four at a time with SSE2; one at a time where the build has no SSE2.
void PaintLeafRowSse2(const LeafQuads& quads, const LeafRow& row, const FloorStepper& fourSteps,
                      const std::uint8_t* writableEnd);
// Four at a time with SSSE3; call only where HaveSsse3LeafRows().
void PaintLeafRowSsse3(const LeafQuads& quads, const LeafRow& row, const FloorStepper& fourSteps,
                       const std::uint8_t* writableEnd);

// Whether PaintLeafRowSse2 is four at a time in this build.
bool HaveSse2LeafRows();
// Whether this build has PaintLeafRowSsse3 and this processor can run it.
bool HaveSsse3LeafRows();

}  // namespace wendrel
