#include "display/x11/x_windows.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace wendrel::display {
namespace {

// Touched only by the thread that makes X calls, the window thread.
unsigned long errorCount = 0;

int CountError(Display*, XErrorEvent*) {
    ++errorCount;
    return 0;
}

}  // namespace

void TrapXErrors() {
    XSetErrorHandler(CountError);
}

CXProbe::~CXProbe() {
    if (m_pDisplay != nullptr)
        XCloseDisplay(m_pDisplay);
}

bool CXProbe::Open(std::string& error) {
    if (m_pDisplay == nullptr)
        m_pDisplay = XOpenDisplay(nullptr);
    if (m_pDisplay == nullptr) {
        error = "cannot open the X display";
        return false;
    }
    return true;
}

unsigned long CXProbe::Root() const {
    return DefaultRootWindow(m_pDisplay);
}

std::optional<WindowSize> CXProbe::SizeOf(unsigned long window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(m_pDisplay, window, &attributes) == 0)
        return std::nullopt;
    return WindowSize{attributes.width, attributes.height};
}

std::vector<MonitorRect> CXProbe::Monitors() {
    std::vector<MonitorRect> monitors;
    int event = 0, error = 0, major = 0, minor = 0;
    if (XRRQueryExtension(m_pDisplay, &event, &error) == 0 ||
        XRRQueryVersion(m_pDisplay, &major, &minor) == 0 || (major == 1 && minor < 5))
        return monitors;
    int count = 0;
    XRRMonitorInfo* info = XRRGetMonitors(m_pDisplay, Root(), True, &count);
    if (info == nullptr)
        return monitors;
    for (int i = 0; i < count; ++i) {
        const MonitorRect rect{info[i].x, info[i].y, info[i].width, info[i].height};
        if (info[i].primary != 0)
            monitors.insert(monitors.begin(), rect);
        else
            monitors.push_back(rect);
    }
    XRRFreeMonitors(info);
    return monitors;
}

unsigned long CXProbe::CreateChild(unsigned long parent) {
    const std::optional<WindowSize> size = SizeOf(parent);
    if (!size || size->width <= 0 || size->height <= 0)
        return 0;
    const unsigned long before = errorCount;
    const int screen = DefaultScreen(m_pDisplay);
    const Window child =
        XCreateSimpleWindow(m_pDisplay, parent, 0, 0, static_cast<unsigned>(size->width),
                            static_cast<unsigned>(size->height), 0, BlackPixel(m_pDisplay, screen),
                            WhitePixel(m_pDisplay, screen));
    XMapWindow(m_pDisplay, child);
    XSync(m_pDisplay, False);
    return errorCount == before ? child : 0;
}

void CXProbe::WatchExposures(unsigned long window) {
    XSelectInput(m_pDisplay, window, ExposureMask);
    XFlush(m_pDisplay);
}

bool CXProbe::TakeExposed(unsigned long window) {
    bool exposed = false;
    while (XPending(m_pDisplay) > 0) {
        XEvent event{};
        XNextEvent(m_pDisplay, &event);
        exposed = exposed || (event.type == Expose && event.xexpose.window == window);
    }
    return exposed;
}

}  // namespace wendrel::display
