#include "framework/windows/wnd_class.h"

#include <cstdint>
#include <cstdio>

#include "framework/windows/win_app.h"

namespace wendrel {
namespace {

unsigned long long Hex(const void* handle) {
    return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle));
}

}  // namespace

std::string AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground,
                                HICON hIcon) {
    HINSTANCE hInstance = AfxGetInstanceHandle();
    char name[128];
    std::snprintf(name, sizeof name, "Afx:%llx:%x:%llx:%llx:%llx", Hex(hInstance), nClassStyle,
                  Hex(hCursor), Hex(hbrBackground), Hex(hIcon));
    WNDCLASSA existing{};
    if (GetClassInfoA(hInstance, name, &existing))
        return name;
    WNDCLASSA wc{};
    wc.style = nClassStyle;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = hInstance;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = name;
    if (!RegisterClassA(&wc))
        return {};
    return name;
}

}  // namespace wendrel
