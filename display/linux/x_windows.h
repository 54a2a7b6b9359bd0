#pragma once

#include <optional>
#include <string>

struct _XDisplay;

namespace wendrel::display {

struct WindowSize {
    int width;
    int height;
    bool operator==(const WindowSize&) const = default;
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
    // A mapped, white child window filling `parent`; 0 when that fails
    // (no such parent, say). It goes away with its parent or with us.
    unsigned long CreateChild(unsigned long parent);

  private:
    _XDisplay* m_pDisplay = nullptr;
};

}  // namespace wendrel::display
