#pragma once

#include <X11/Xlib.h>

#include <cstdio>

// What the small X programs of the tests share.
namespace wendrel::test {

// The display of $DISPLAY, or null after a one-line complaint on stderr
// in the name of `program`.
inline Display* OpenDisplay(const char* program) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        std::fprintf(stderr, "%s: cannot open the display\n", program);
    return display;
}

// Asks `window` to close as a window manager's close box does: a
// WM_DELETE_WINDOW message of the WM_PROTOCOLS kind, sent and flushed.
inline void SendCloseRequest(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

}  // namespace wendrel::test
