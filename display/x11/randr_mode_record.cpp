#include "display/x11/randr_mode_record.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <optional>

namespace wendrel::display {
namespace {

using Crtc = CDisplayModeRecord::Crtc;

struct ScreenState {
    int width = 0;
    int height = 0;
    std::vector<Crtc> crtcs;
};

// The screen as the server has it now; none without XRandR 1.2.
std::optional<ScreenState> ReadScreen(Display* display, XRRScreenResources* resources) {
    ScreenState state;
    Window root = DefaultRootWindow(display);
    Window ignored = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (XGetGeometry(display, root, &ignored, &x, &y, &width, &height, &border, &depth) == 0)
        return std::nullopt;
    state.width = static_cast<int>(width);
    state.height = static_cast<int>(height);
    for (int i = 0; i < resources->ncrtc; ++i) {
        XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
        if (info == nullptr)
            return std::nullopt;
        Crtc crtc;
        crtc.id = resources->crtcs[i];
        crtc.mode = info->mode;
        crtc.x = info->x;
        crtc.y = info->y;
        crtc.width = info->width;
        crtc.height = info->height;
        crtc.rotation = info->rotation;
        crtc.outputs.assign(info->outputs, info->outputs + info->noutput);
        XRRFreeCrtcInfo(info);
        state.crtcs.push_back(std::move(crtc));
    }
    return state;
}

bool HasRandr12(Display* display) {
    int event = 0, error = 0, major = 0, minor = 0;
    return XRRQueryExtension(display, &event, &error) != 0 &&
           XRRQueryVersion(display, &major, &minor) != 0 && (major > 1 || minor >= 2);
}

const Crtc* FindCrtc(const std::vector<Crtc>& crtcs, unsigned long id) {
    const auto it =
        std::find_if(crtcs.begin(), crtcs.end(), [id](const Crtc& crtc) { return crtc.id == id; });
    return it == crtcs.end() ? nullptr : &*it;
}

}  // namespace

bool CDisplayModeRecord::Record(Display* display, std::string& error) {
    if (!HasRandr12(display)) {
        error = "the X server has no XRandR 1.2 to read the display mode with";
        return false;
    }
    XRRScreenResources* resources =
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (resources == nullptr) {
        error = "the X server gave no XRandR screen resources";
        return false;
    }
    const std::optional<ScreenState> state = ReadScreen(display, resources);
    XRRFreeScreenResources(resources);
    if (!state) {
        error = "cannot read the display mode";
        return false;
    }
    m_nWidth = state->width;
    m_nHeight = state->height;
    // The connection was opened for this: its sizes are the server's now.
    m_nWidthMm = DisplayWidthMM(display, DefaultScreen(display));
    m_nHeightMm = DisplayHeightMM(display, DefaultScreen(display));
    m_crtcs = state->crtcs;
    return true;
}

bool CDisplayModeRecord::Matches(Display* display) const {
    XRRScreenResources* resources =
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (resources == nullptr)
        return false;
    const std::optional<ScreenState> state = ReadScreen(display, resources);
    XRRFreeScreenResources(resources);
    return state && state->width == m_nWidth && state->height == m_nHeight &&
           state->crtcs == m_crtcs;
}

bool CDisplayModeRecord::Restore(Display* display, std::string& error) const {
    const Window root = DefaultRootWindow(display);
    XGrabServer(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    const std::optional<ScreenState> now =
        resources != nullptr ? ReadScreen(display, resources) : std::nullopt;
    bool ok = now.has_value();
    if (ok) {
        // A CRTC must always fit in the screen: those that would not fit in
        // the recorded size are turned off before the screen takes it.
        for (const Crtc& want : m_crtcs) {
            const Crtc* have = FindCrtc(now->crtcs, want.id);
            if (have == nullptr || *have == want || have->mode == None)
                continue;
            if (have->x + static_cast<int>(have->width) > m_nWidth ||
                have->y + static_cast<int>(have->height) > m_nHeight)
                ok = XRRSetCrtcConfig(display, resources, want.id, CurrentTime, 0, 0, None,
                                      RR_Rotate_0, nullptr, 0) == RRSetConfigSuccess &&
                     ok;
        }
        if (now->width != m_nWidth || now->height != m_nHeight)
            XRRSetScreenSize(display, root, m_nWidth, m_nHeight, m_nWidthMm, m_nHeightMm);
        for (const Crtc& want : m_crtcs) {
            const Crtc* have = FindCrtc(now->crtcs, want.id);
            if (have != nullptr && *have == want)
                continue;
            std::vector<RROutput> outputs(want.outputs.begin(), want.outputs.end());
            ok = XRRSetCrtcConfig(display, resources, want.id, CurrentTime, want.x, want.y,
                                  want.mode, want.rotation, outputs.data(),
                                  static_cast<int>(outputs.size())) == RRSetConfigSuccess &&
                 ok;
        }
    }
    if (resources != nullptr)
        XRRFreeScreenResources(resources);
    XUngrabServer(display);
    XSync(display, False);
    if (!ok || !Matches(display)) {
        error = "the X server did not take the former display mode back";
        return false;
    }
    return true;
}

}  // namespace wendrel::display
