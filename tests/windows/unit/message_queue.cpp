#include "tests/windows/unit/message_queue.h"

namespace wendrel::test {
namespace {

bool quitSeen = false;
int quitCode = 0;

void RememberQuit(const MSG& msg) {
    quitSeen = true;
    quitCode = static_cast<int>(msg.wParam);
}

}  // namespace

int PumpKeepingWindows() {
    int closes = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            RememberQuit(msg);
        else if (msg.message == WM_CLOSE)
            ++closes;
        else {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return closes;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            RememberQuit(msg);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int TakeCloseRequests(HWND hWnd) {
    int closes = 0;
    MSG msg;
    while (PeekMessageA(&msg, hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        ++closes;
    return closes;
}

bool TakeQuit(int* pCode) {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        RememberQuit(msg);
    const bool seen = quitSeen;
    if (pCode != nullptr)
        *pCode = quitCode;
    quitSeen = false;
    quitCode = 0;
    return seen;
}

}  // namespace wendrel::test
