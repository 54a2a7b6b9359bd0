#pragma once

#include <cstdint>
#include <vector>

namespace wendrel {

// A rectangle of the 640 x 480 frame as the picture is seen: x grows to the
// right from the left column, y grows downward from the top row (y is
// stored row 479 - y of the bottom-up frame). left and top are included,
// right and bottom are not.
struct FrameRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    // The smallest rectangle holding both; an empty one adds nothing.
    FrameRect United(const FrameRect& other) const;
    bool operator==(const FrameRect&) const = default;
};

// What one Compose changed, compared with the frame the Compose before it
// left behind.
struct FrameChanges {
    // Every pixel may have changed: the first frame after loading, and any
    // frame composed after someone else wrote into it. `rects` is then of
    // no use.
    bool whole = true;
    // Otherwise only pixels inside these rectangles can differ from the
    // previous frame: the places the leaves were drawn in the previous
    // frame (now restored from the background) and in this one, clipped to
    // the frame. They may overlap; there is none when nothing changed.
    std::vector<FrameRect> rects;
};

}  // namespace wendrel
