#pragma once

#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace wendrel::display {

struct WindowSize {
    int width;
    int height;
    bool operator==(const WindowSize&) const = default;
};

// A monitor's place on the root window, in root coordinates.
struct MonitorRect {
    int x;
    int y;
    int width;
    int height;
    bool operator==(const MonitorRect&) const = default;
};

// Replaces Xlib's default error handler, which ends the process, with one
// that only counts: a window that another program destroys while we draw
// into it must not take the saver down before its thread is joined.
void TrapXErrors();

// A connection of our own for asking about windows that are not ours.
class CXProbe {
  public:
    CXProbe() = default;
    ~CXProbe();
    CXProbe(const CXProbe&) = delete;
    CXProbe& operator=(const CXProbe&) = delete;

    bool Open(std::string& error);
    unsigned long Root() const;
    // The window's size; none once the window no longer exists.
    std::optional<WindowSize> SizeOf(unsigned long window);
    // The active monitors as XRandR lists them, the primary first; none
    // when the server cannot tell (no XRandR 1.5).
    std::vector<MonitorRect> Monitors();
    // A mapped, white child window filling `parent`; 0 when that fails
    // (no such parent, say). It goes away with its parent or with us.
    unsigned long CreateChild(unsigned long parent);
    // Asks to hear when parts of `window` lose their pixels (other
    // programs may ask the same).
    void WatchExposures(unsigned long window);
    // True when `window` was exposed since the last call; takes every
    // event that came in.
    bool TakeExposed(unsigned long window);

  private:
    _XDisplay* m_pDisplay = nullptr;
};

}  // namespace wendrel::display
