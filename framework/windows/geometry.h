#pragma once

#include "framework/windows/win32.h"

namespace wendrel {

// A point in window or screen pixels.
class CPoint : public POINT {
  public:
    CPoint() : POINT{0, 0} {}
    CPoint(int initX, int initY) : POINT{initX, initY} {}
    bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
};

// A rectangle, right and bottom exclusive.
class CRect : public RECT {
  public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    explicit CRect(const RECT& rect) : RECT(rect) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

}  // namespace wendrel
