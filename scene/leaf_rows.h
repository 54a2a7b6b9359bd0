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

// Blends each pixel of the row whose quad is drawable, one at a time.
void PaintLeafRowPlain(const LeafQuads& quads, const LeafRow& row);

// The same result, four pixels at a time with SSE2. `fourSteps` steps the
// column quotient by four pixels (only its steps are used). Bytes from dst
// up to `writableEnd` may be read and written back unchanged.
void PaintLeafRowWide(const LeafQuads& quads, const LeafRow& row, const FloorStepper& fourSteps,
                      const std::uint8_t* writableEnd);

// Whether PaintLeafRowWide exists in this build.
bool HaveWideLeafRows();

}  // namespace wendrel
