// Stands in for the display settings panel: opens a window, starts the
// saver in preview mode inside it, holds it for a while, then destroys the
// window and reports how long the saver took to end.
//
//   wendrel-preview-host SAVER HOLD-MS [WIDTH HEIGHT]
//
// Prints "client X Y W H" (the client area in screen pixels) once the saver
// is started; when the time is up "child saver|other X Y W H" for each child
// window (relative to the client area), and at the end
// "destroy-took-ms D ended-after-ms N exit-code C". Exit status 0
// when the saver ran until the window went and ended within a second.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT_PTR kHoldTimer = 1;

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kHoldTimer) {
        KillTimer(hWnd, kHoldTimer);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wendrel-preview-host SAVER HOLD-MS [WIDTH HEIGHT]\n");
        return 2;
    }
    const UINT holdMs = static_cast<UINT>(std::strtoul(argv[2], nullptr, 10));
    const int width = argc > 4 ? std::atoi(argv[3]) : 320;
    const int height = argc > 4 ? std::atoi(argv[4]) : 240;

    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "WendrelPreviewHost";
    RegisterClassA(&wc);
    RECT frame{0, 0, width, height};
    const DWORD style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
    AdjustWindowRect(&frame, style, FALSE);
    HWND hWnd = CreateWindowExA(0, wc.lpszClassName, "Wendrel preview host", style | WS_VISIBLE,
                                100, 100, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, wc.hInstance, nullptr);
    if (hWnd == nullptr) {
        std::fprintf(stderr, "preview host: no window\n");
        return 1;
    }

    std::string command = std::string("\"") + argv[1] + "\" /p " +
                          std::to_string(reinterpret_cast<std::uintptr_t>(hWnd));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "preview host: cannot start %s\n", command.c_str());
        return 1;
    }
    POINT origin{0, 0};
    ClientToScreen(hWnd, &origin);
    std::printf("client %ld %ld %d %d\n", static_cast<long>(origin.x), static_cast<long>(origin.y),
                width, height);
    std::fflush(stdout);

    SetTimer(hWnd, kHoldTimer, holdMs, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_TIMEOUT) {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        std::printf("saver ended before its window was destroyed, exit-code %lu\n",
                    static_cast<unsigned long>(code));
        return 1;
    }
    // The saver's child: one window of its process over the whole client area.
    for (HWND child = GetWindow(hWnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(child, &owner);
        RECT rect{};
        GetWindowRect(child, &rect);
        std::printf("child %s %ld %ld %ld %ld\n", owner == pi.dwProcessId ? "saver" : "other",
                    static_cast<long>(rect.left - origin.x), static_cast<long>(rect.top - origin.y),
                    static_cast<long>(rect.right - rect.left),
                    static_cast<long>(rect.bottom - rect.top));
    }
    std::fflush(stdout);
    // Wine hides a window with children of another process slowly, so the
    // saver's end is timed from the return of DestroyWindow, once the
    // child is gone too.
    const DWORD before = GetTickCount();
    DestroyWindow(hWnd);
    const DWORD destroyed = GetTickCount();
    const DWORD waited = WaitForSingleObject(pi.hProcess, 10000);
    const DWORD elapsed = GetTickCount() - destroyed;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    std::printf("destroy-took-ms %lu ended-after-ms %lu exit-code %lu\n",
                static_cast<unsigned long>(destroyed - before), static_cast<unsigned long>(elapsed),
                static_cast<unsigned long>(code));
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        return 1;
    }
    return elapsed <= 1000 && code == 0 ? 0 : 1;
}
