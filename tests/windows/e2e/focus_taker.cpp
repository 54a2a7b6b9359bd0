// Opens a window after a delay and makes it the foreground window, as a
// user switching to another program would; then stays a while and exits.
//
//   wendrel-focus-taker DELAY-MS STAY-MS
#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK TakerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD delay = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000;
    const UINT stay = argc > 2 ? static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)) : 2000;
    Sleep(delay);
    WNDCLASSA wc{};
    wc.lpfnWndProc = TakerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "WendrelFocusTaker";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, wc.lpszClassName, "Wendrel focus taker",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 150, nullptr,
                                nullptr, wc.hInstance, nullptr);
    if (hWnd == nullptr)
        return 1;
    SetForegroundWindow(hWnd);
    SetActiveWindow(hWnd);
    SetFocus(hWnd);
    SetTimer(hWnd, 1, stay, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(hWnd);
    return 0;
}
