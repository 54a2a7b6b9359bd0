#include "framework/windows/dialog.h"

#include "framework/windows/user_exception.h"
#include "framework/windows/win_app.h"

namespace wendrel {
namespace {

// The dialog manager's own procedure: the work is done by the window
// procedure that CDialog puts in front of the dialog class's.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
    HWND hWndOwner = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    HookWindowCreate();
    const INT_PTR result = DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                           hWndOwner, AfxDlgProc, 0);
    UnhookWindowCreate();
    return result;
}

void CDialog::EndDialog(int nResult) {
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnHelp() {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return;
    pApp->m_dwPromptContext = kHelpResourceBase + m_nIDHelp;
    pApp->OnHelp();
    pApp->m_dwPromptContext = 0;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
    // Clicks and menu or accelerator commands, not other notifications.
    if (HIWORD(wParam) > 1)
        return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        case kIdHelp:
            OnHelp();
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            UnhookWindowCreate();
            Default();
            RECT before{};
            GetWindowRect(m_hWnd, &before);
            const BOOL result = OnInitDialog();
            RECT after{};
            GetWindowRect(m_hWnd, &after);
            if (GetWindow(m_hWnd, GW_OWNER) == nullptr && SameRect(before, after))
                CenterOnWorkArea();
            return result;
        }
        case WM_HELP:
            OnHelp();
            return TRUE;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CDialog::CenterOnWorkArea() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    RECT dialog{};
    GetWindowRect(m_hWnd, &dialog);
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    int x = (work.left + work.right) / 2 - width / 2;
    int y = (work.top + work.bottom) / 2 - height / 2;
    if (x + width > work.right)
        x = work.right - width;
    if (x < work.left)
        x = work.left;
    if (y + height > work.bottom)
        y = work.bottom - height;
    if (y < work.top)
        y = work.top;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace wendrel
