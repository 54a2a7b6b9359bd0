#pragma once

#include <string>

#include "framework/windows/win32.h"

namespace wendrel {

// The name of a window class of this module with the given style, cursor,
// background brush and icon, "Afx:<instance>:<style>:<cursor>:<brush>:<icon>"
// in hexadecimal. The class is registered with the system's default window
// procedure the first time and found again afterwards. Empty when it cannot
// be registered.
std::string AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                                HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);

}  // namespace wendrel
