#pragma once

#include "framework/windows/win32.h"

namespace wendrel::display {

// True when both modes have the same size and depth.
bool SameDisplayMode(const DEVMODEA& a, const DEVMODEA& b);

// Puts every display back in its saved (registry) mode when the primary's
// current mode is not its saved one; true when it had to. DirectDraw's own
// restore is only a request to the driver, and the user must never be left
// at the saver's 640 x 480.
bool SystemRestoreSavedModes();

// How the release of DirectDraw reaches SystemRestoreSavedModes; a
// process-wide seam beside pfnDirectDrawCreate, for the fake drivers.
using RestoreSavedModesFn = bool (*)();
extern RestoreSavedModesFn pfnRestoreSavedModes;

}  // namespace wendrel::display
