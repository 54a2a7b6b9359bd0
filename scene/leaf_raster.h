#pragma once

#include <algorithm>
#include <cstdint>

#include "bitmap_info_header.h"
#include "floor_stepper.h"
#include "frame_changes.h"
#include "leaf_images.h"

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

// The integers dx with lo0 - c * dy < a * dx < hi0 - c * dy, row after row
// (dy, dy + 1, ...), found without dividing after the first row.
class StripBounds {
  public:
    StripBounds(std::int32_t a, std::int32_t c, std::int32_t lo0, std::int32_t hi0,
                std::int32_t dy);
    // First and last dx of the current row; first > last when none.
    std::int32_t First() const;
    std::int32_t Last() const;
    void NextRow();

  private:
    bool m_bFlat;        // a == 0: every dx or none
    std::int32_t m_c;    // when flat
    std::int32_t m_cdy;  // c * dy, when flat
    std::int32_t m_lo0;
    std::int32_t m_hi0;
    FloorStepper m_first;  // first dx - 1
    FloorStepper m_last;
};

// For leaf row after leaf row, the span of leaf columns whose four samples
// lie inside the image and in the box of quads, exactly: the region is the
// crossing of two strips.
class SourceSpans {
  public:
    SourceSpans(const LeafTurn& turn, std::int32_t firstRow, const LeafQuadBox& box);
    LeafSpan Span() const;
    void NextRow();

  private:
    StripBounds m_across;  // the column sample inside the box
    StripBounds m_down;    // the row sample inside the box
};

// Called for every row of every leaf: kept where they can be inlined.
inline std::int32_t StripBounds::First() const {
    if (m_bFlat)
        return m_lo0 < m_cdy && m_cdy < m_hi0 ? -kLeafImageSize : kLeafImageSize;
    return m_first.Floor() + 1;
}

inline std::int32_t StripBounds::Last() const {
    if (m_bFlat)
        return m_lo0 < m_cdy && m_cdy < m_hi0 ? kLeafImageSize : -kLeafImageSize;
    return m_last.Floor();
}

inline void StripBounds::NextRow() {
    m_cdy += m_c;
    m_first.Next();
    m_last.Next();
}

inline LeafSpan SourceSpans::Span() const {
    const std::int32_t first = std::max(m_across.First(), m_down.First());
    const std::int32_t last = std::min(m_across.Last(), m_down.Last());
    return {std::clamp(first + (kLeafImageSize / 2), 0, kLeafImageSize),
            std::clamp(last + 1 + (kLeafImageSize / 2), 0, kLeafImageSize)};
}

inline void SourceSpans::NextRow() {
    m_across.NextRow();
    m_down.NextRow();
}

// How the pixels of a row are blended; all give the same bytes.
enum class LeafBlend {
    kFastest,  // the fastest of the others this build and processor have
    kSsse3,    // four at a time with SSSE3, where the processor has it, else as kSse2
    kSse2,     // four at a time with SSE2, where the build has it, else as kPlain
    kPlain,    // one at a time
};

// Draws a leaf image (given by its quads, LeafQuadTable), turned, tilted,
// with its nominal rectangle's top-left corner at (left, top), into a
// 24-bit frame; returns the upright rectangle holding every pixel it wrote.
FrameRect DrawTurnedLeaf(const LeafTurn& turn, const LeafQuads& quads,
                         const BITMAPINFOHEADER& frameHeader, std::uint8_t* framePixels,
                         std::int32_t left, std::int32_t top,
                         LeafBlend blend = LeafBlend::kFastest);

}  // namespace wendrel
