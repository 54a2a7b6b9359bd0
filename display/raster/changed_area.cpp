#include "display/raster/changed_area.h"

#include <algorithm>
#include <cstdint>

#include "scene/frame_buffer.h"

namespace wendrel::display {
namespace {

std::int64_t Area(const PixelRect& r) {
    return static_cast<std::int64_t>(r.w) * r.h;
}

// True when `a` and `b` overlap or touch and their union wastes nothing:
// it is no larger than the two together. `a` becomes the union.
bool Join(PixelRect& a, const PixelRect& b) {
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.w, b.x + b.w);
    const int bottom = std::max(a.y + a.h, b.y + b.h);
    const bool near = b.x <= a.x + a.w && a.x <= b.x + b.w && b.y <= a.y + a.h && a.y <= b.y + b.h;
    const PixelRect united{left, top, right - left, bottom - top};
    if (!near || Area(united) > Area(a) + Area(b))
        return false;
    a = united;
    return true;
}

}  // namespace

int JoinChangedRects(std::span<const FrameRect> rects, std::span<PixelRect> out) {
    int count = 0;
    for (const FrameRect& r : rects) {
        const int left = std::max(r.left, 0);
        const int top = std::max(r.top, 0);
        const int right = std::min(r.right, kFrameWidth);
        const int bottom = std::min(r.bottom, kFrameHeight);
        if (right <= left || bottom <= top)
            continue;
        PixelRect next{left, top, right - left, bottom - top};
        // Join it with what it can; a joined one may then join others.
        for (int i = 0; i < count;) {
            if (Join(next, out[static_cast<std::size_t>(i)])) {
                out[static_cast<std::size_t>(i)] = out[static_cast<std::size_t>(count - 1)];
                --count;
                i = 0;
            } else {
                ++i;
            }
        }
        if (static_cast<std::size_t>(count) == out.size())
            return -1;
        out[static_cast<std::size_t>(count++)] = next;
    }
    return count;
}

}  // namespace wendrel::display
