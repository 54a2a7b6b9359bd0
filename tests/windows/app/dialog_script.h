#pragma once

#include <windows.h>

#include <functional>

namespace wendrel::test {

// Runs a script on the configuration dialog once it is open, from a timer
// of this thread that the dialog's modal loop dispatches.
class CDialogScript {
  public:
    explicit CDialogScript(std::function<void(HWND)> script);
    ~CDialogScript();
    CDialogScript(const CDialogScript&) = delete;
    CDialogScript& operator=(const CDialogScript&) = delete;

    bool Ran() const { return m_bRan; }

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    std::function<void(HWND)> m_script;
    UINT_PTR m_nTimer = 0;
    bool m_bRan = false;
};

// The open configuration dialog of this thread, or null.
HWND FindConfigDialog();
// Presses a button of the dialog as a click would.
void Click(HWND hDlg, int id);
// Dispatches this thread's messages for up to `ms` milliseconds or until a
// quit request arrives; true when one did (it is taken off).
bool PumpUntilQuit(DWORD ms);

}  // namespace wendrel::test
