#pragma once

#include <cstdint>
#include <optional>

namespace wendrel {

struct MousePoint {
    std::int32_t x;
    std::int32_t y;
};

// The full-screen window's movement rule. `last` holds the first position
// the window saw, empty until then: a move to `point` records it when there
// is none, and otherwise asks the window to close (true) only when `point`
// lies more than 5 pixels from it on both axes. "None yet" is the empty
// record rather than a position: with a monitor left of or above the
// primary every position, negative ones included, can be real.
bool MouseMoveCloses(std::optional<MousePoint>& last, MousePoint point);

// The rule with its own record of the first position.
class CMouseRule {
  public:
    void Reset() { m_lastMousePoint.reset(); }
    // True when the movement to (x, y) asks the window to close.
    bool OnMove(std::int32_t x, std::int32_t y) {
        return MouseMoveCloses(m_lastMousePoint, {x, y});
    }

  private:
    std::optional<MousePoint> m_lastMousePoint;
};

}  // namespace wendrel
