#pragma once

#include <vector>

#include "framework/windows/win32.h"

namespace wendrel::display {

// The monitors as the system lists them (EnumDisplayMonitors), in
// virtual-screen coordinates: the primary sits at (0, 0), the others
// anywhere around it, left of or above it at negative coordinates.
struct MonitorLayout {
    RECT primary{};
    std::vector<RECT> others;  // in the system's order
};

MonitorLayout CurrentMonitorLayout();

bool SameRect(const RECT& a, const RECT& b);
// True when `outer` covers all of `inner`.
bool Covers(const RECT& outer, const RECT& inner);

}  // namespace wendrel::display
