#include "saver/mouse_rule.h"

#include <cstdlib>

namespace wendrel {

bool MouseMoveCloses(std::optional<MousePoint>& last, MousePoint point) {
    if (!last) {
        last = point;
        return false;
    }
    return std::abs(last->x - point.x) > 5 && std::abs(last->y - point.y) > 5;
}

}  // namespace wendrel
