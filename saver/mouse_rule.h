#pragma once

#include <cstdint>

namespace wendrel {

struct MousePoint {
    std::int32_t x;
    std::int32_t y;
};

// No position recorded yet.
inline constexpr MousePoint kNoMousePoint{-100, -100};

// The full-screen window's movement rule. `last` holds the first position
// the window saw (kNoMousePoint until then): a move to `point` records it
// when there is none, and otherwise asks the window to close (true) only
// when `point` lies more than 5 pixels from it on both axes.
bool MouseMoveCloses(MousePoint& last, MousePoint point);

// The rule with its own record of the first position.
class CMouseRule {
  public:
    void Reset() { m_lastMousePoint = kNoMousePoint; }
    // True when the movement to (x, y) asks the window to close.
    bool OnMove(std::int32_t x, std::int32_t y) {
        return MouseMoveCloses(m_lastMousePoint, {x, y});
    }

  private:
    MousePoint m_lastMousePoint = kNoMousePoint;
};

}  // namespace wendrel
