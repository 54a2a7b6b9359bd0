#include "display/windows/saved_modes.h"

namespace wendrel::display {

RestoreSavedModesFn pfnRestoreSavedModes = SystemRestoreSavedModes;

bool SameDisplayMode(const DEVMODEA& a, const DEVMODEA& b) {
    return a.dmPelsWidth == b.dmPelsWidth && a.dmPelsHeight == b.dmPelsHeight &&
           a.dmBitsPerPel == b.dmBitsPerPel;
}

bool SystemRestoreSavedModes() {
    DEVMODEA current{};
    current.dmSize = sizeof current;
    DEVMODEA saved{};
    saved.dmSize = sizeof saved;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current) ||
        !EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &saved) ||
        SameDisplayMode(current, saved))
        return false;
    // No mode at all: every display takes its saved mode and place.
    ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr);
    return true;
}

}  // namespace wendrel::display
