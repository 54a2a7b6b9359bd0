// send-wm-delete WINDOW: asks an X window to close as a window manager's
// close box does, with a WM_DELETE_WINDOW message. Exits with 1 when the
// display cannot be opened or the id is bad.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "tests/linux/x_helpers.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: send-wm-delete WINDOW\n");
        return 2;
    }
    char* end = nullptr;
    const unsigned long window = std::strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || window == 0) {
        std::fprintf(stderr, "send-wm-delete: bad window id '%s'\n", argv[1]);
        return 1;
    }
    Display* display = wendrel::test::OpenDisplay("send-wm-delete");
    if (display == nullptr)
        return 1;
    wendrel::test::SendCloseRequest(display, window);
    XCloseDisplay(display);
    return 0;
}
