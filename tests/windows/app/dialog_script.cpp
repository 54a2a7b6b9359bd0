#include "tests/windows/app/dialog_script.h"

namespace wendrel::test {
namespace {
CDialogScript* current = nullptr;
}

CDialogScript::CDialogScript(std::function<void(HWND)> script) : m_script(std::move(script)) {
    current = this;
    m_nTimer = SetTimer(nullptr, 0, 20, &CDialogScript::OnTimer);
}

CDialogScript::~CDialogScript() {
    if (m_nTimer != 0)
        KillTimer(nullptr, m_nTimer);
    current = nullptr;
}

void CALLBACK CDialogScript::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND hDlg = FindConfigDialog();
    if (current == nullptr || current->m_bRan || hDlg == nullptr)
        return;
    KillTimer(nullptr, current->m_nTimer);
    current->m_nTimer = 0;
    current->m_bRan = true;
    current->m_script(hDlg);
}

HWND FindConfigDialog() {
    HWND hDlg = FindWindowA(nullptr, "Wendrel configuration");
    if (hDlg == nullptr || GetWindowThreadProcessId(hDlg, nullptr) != GetCurrentThreadId() ||
        !IsWindowVisible(hDlg))
        return nullptr;
    return hDlg;
}

void Click(HWND hDlg, int id) {
    SendDlgItemMessageA(hDlg, id, BM_CLICK, 0, 0);
}

bool PumpUntilQuit(DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

}  // namespace wendrel::test
