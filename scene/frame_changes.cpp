#include "scene/frame_changes.h"

#include <algorithm>

namespace wendrel {

FrameRect FrameRect::United(const FrameRect& other) const {
    if (other.Empty())
        return *this;
    if (Empty())
        return other;
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
}

}  // namespace wendrel
