#pragma once

namespace wendrel::display {

struct MousePoint {
    int x;
    int y;
};

// No position recorded yet.
constexpr MousePoint noMousePoint{-100, -100};

// The full-screen window's movement rule: the first position seen is kept,
// and a later one ends the saver only when it lies more than 5 pixels from
// it on both axes.
class CMouseRule {
  public:
    void Reset() { m_lastMousePoint = noMousePoint; }
    // True when the movement to (x, y) asks the window to close.
    bool OnMove(int x, int y);

  private:
    MousePoint m_lastMousePoint = noMousePoint;
};

}  // namespace wendrel::display
