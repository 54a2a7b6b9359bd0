#include "display/windows/cover_wnd.h"

#include <algorithm>

#include "display/windows/display_app.h"
#include "framework/windows/paint_dc.h"

namespace wendrel::display {

BOOL CCoverWnd::CreateCover(const RECT& monitor) {
    // Made hidden and shown without activation: showing it the usual way
    // would activate it, and the full-screen window end on losing that.
    if (!Create(WS_EX_TOPMOST | WS_EX_NOACTIVATE, WS_POPUP, monitor, nullptr))
        return FALSE;
    SetWindowPos(m_hWnd, HWND_TOPMOST, monitor.left, monitor.top, monitor.right - monitor.left,
                 monitor.bottom - monitor.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return TRUE;
}

void CCoverWnd::OnPaint() {
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    PatBlt(dc.m_hDC, rect.left, rect.top, rect.Width(), rect.Height(), BLACKNESS);
}

BOOL CCoverWnd::OnSetCursor(CWnd*, UINT, UINT) {
    SetCursor(nullptr);
    return TRUE;
}

int CCoverWnd::OnMouseActivate(CWnd*, UINT, UINT) {
    return MA_NOACTIVATE;
}

LRESULT CCoverWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDOWN:
        // Keys go to the full-screen window, which keeps the focus.
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (CFullScreenWnd* pPrimary = DisplayApp().m_pFullScreenWnd)
                pPrimary->RequestClose();
            break;
        default:
            break;
    }
    return CSaverWnd::WindowProc(message, wParam, lParam);
}

void CCoverWnd::OnMouseMove(UINT, CPoint point) {
    // The full-screen window's one rule, in its coordinates (the screen's):
    // crossing from one monitor to another is a move like any other.
    ClientToScreen(m_hWnd, &point);
    if (CFullScreenWnd* pPrimary = DisplayApp().m_pFullScreenWnd)
        pPrimary->MouseMovedTo(point);
    Default();
}

void CCoverWnd::OnDisplayChange(UINT, int, int) {
    Default();
    // Last: following the layout may destroy this window and its object.
    DisplayApp().FollowMonitorLayout();
}

void CCoverWnd::PostNcDestroy() {
    auto& covers = DisplayApp().m_coverWnds;
    covers.erase(std::remove(covers.begin(), covers.end(), this), covers.end());
    CSaverWnd::PostNcDestroy();
}

}  // namespace wendrel::display
