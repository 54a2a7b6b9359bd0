#pragma once

#include <cstdint>

#include "scene/bitmap_info_header.h"
#include "scene/floor_stepper.h"
#include "scene/frame_changes.h"
#include "scene/leaf_images.h"

namespace wendrel {

// A leaf's turn this tick, each factor scaled by 1024; tiltCos is never 0.
struct LeafTurn {
    std::int32_t sn;
    std::int32_t cs;
    std::int32_t tiltCos;
};

// Leaf columns j (0 ... 47) from `begin` up to `end` (excluded).
struct LeafSpan {
    std::int32_t begin;
    std::int32_t end;
    bool Empty() const { return end <= begin; }
};

// How a leaf is drawn; all give the same bytes.
enum class LeafBlend {
    kFastest,  // the fastest of the others this build and processor have
    kSsse3,    // several at a time, blended with SSSE3 where the processor has it, else as kSse2
    kSse2,     // several at a time with SSE2, where the build has it, else as kPlain
    kPlain,    // one at a time
};

// For leaf rows firstRow ... endRow - 1, the span of leaf columns whose
// four samples lie inside the image and in the box of quads, exactly, into
// spans[0 ... endRow - firstRow - 1]: the region is the crossing of two
// strips. kPlain steps their four bounds one at a time, the others side by
// side.
void FindSourceSpans(const LeafTurn& turn, std::int32_t firstRow, std::int32_t endRow,
                     const LeafQuadBox& box, LeafSpan* spans,
                     LeafBlend blend = LeafBlend::kFastest);

// Draws a leaf image (given by its quads, LeafQuadTable), turned, tilted,
// with its nominal rectangle's top-left corner at (left, top), into a
// 24-bit frame; returns the upright rectangle holding every pixel it wrote.
FrameRect DrawTurnedLeaf(const LeafTurn& turn, const LeafQuads& quads,
                         const BITMAPINFOHEADER& frameHeader, std::uint8_t* framePixels,
                         std::int32_t left, std::int32_t top,
                         LeafBlend blend = LeafBlend::kFastest);

}  // namespace wendrel
