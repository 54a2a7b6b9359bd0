#include "display/windows/monitors.h"

namespace wendrel::display {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR hMonitor, HDC, LPRECT, LPARAM lParam) {
    auto& layout = *reinterpret_cast<MonitorLayout*>(lParam);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(hMonitor, &info))
        return TRUE;
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        layout.primary = info.rcMonitor;
    else
        layout.others.push_back(info.rcMonitor);
    return TRUE;
}

}  // namespace

MonitorLayout CurrentMonitorLayout() {
    MonitorLayout layout;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&layout));
    return layout;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Covers(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

}  // namespace wendrel::display
