// wendrel-test-window [WIDTHxHEIGHT] [--at X,Y] [--white] [--seconds N]: a
// plain black (or white) X window at (X, Y), default (0, 0), for the
// end-to-end tests to hand to the saver or to hide. Prints its id (decimal)
// once it is mapped, and destroys it on SIGTERM or SIGINT, or after N
// seconds. wendrel-test-window --close ID instead asks window ID to close,
// as a window manager does when its close button is pressed.
// wendrel-test-window --saver-state prints the X server's own screen saver
// state: on, off, cycle or disabled.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <poll.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "tests/linux/x_helpers.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
    stopRequested = 1;
}

int Usage() {
    std::fputs(
        "usage: wendrel-test-window [WIDTHxHEIGHT] [--at X,Y] [--white] [--seconds N]\n"
        "       | --close ID\n",
        stderr);
    return 2;
}

int PrintSaverState(Display* display) {
    int event = 0, error = 0;
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    if (info == nullptr || XScreenSaverQueryExtension(display, &event, &error) == 0 ||
        XScreenSaverQueryInfo(display, DefaultRootWindow(display), info) == 0) {
        std::fputs("wendrel-test-window: no X screen saver extension\n", stderr);
        return 1;
    }
    const char* state = info->state == ScreenSaverOn      ? "on"
                        : info->state == ScreenSaverOff   ? "off"
                        : info->state == ScreenSaverCycle ? "cycle"
                                                          : "disabled";
    std::printf("%s\n", state);
    XFree(info);
    XCloseDisplay(display);
    return 0;
}

int AskToClose(Display* display, Window window) {
    wendrel::test::SendCloseRequest(display, window);
    XCloseDisplay(display);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned width = 320, height = 240;
    double seconds = 0;
    unsigned long closeWindow = 0;
    int x = 0, y = 0;
    bool white = false;
    bool saverState = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--at") == 0 && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%d,%d", &x, &y) != 2)
                return Usage();
        } else if (std::strcmp(argv[i], "--saver-state") == 0)
            saverState = true;
        else if (std::strcmp(argv[i], "--white") == 0)
            white = true;
        else if (std::strcmp(argv[i], "--close") == 0 && i + 1 < argc)
            closeWindow = std::strtoul(argv[++i], nullptr, 0);
        else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (std::sscanf(argv[i], "%ux%u", &width, &height) != 2 || width == 0 || height == 0)
            return Usage();
    }
    Display* display = wendrel::test::OpenDisplay("wendrel-test-window");
    if (display == nullptr)
        return 1;
    if (closeWindow != 0)
        return AskToClose(display, closeWindow);
    if (saverState)
        return PrintSaverState(display);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    const int screen = DefaultScreen(display);
    const unsigned long colour = white ? WhitePixel(display, screen) : BlackPixel(display, screen);
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, width,
                                              height, 0, colour, colour);
    XStoreName(display, window, "wendrel-test-window");
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent event; XNextEvent(display, &event) == 0 && event.type != MapNotify;) {
    }
    std::printf("%lu\n", window);
    std::fflush(stdout);

    const std::time_t end = std::time(nullptr) + static_cast<std::time_t>(seconds);
    while (!stopRequested && (seconds <= 0 || std::time(nullptr) < end)) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 50);
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 0;
}
