#include "display/windows/full_screen_wnd.h"

#include "display/windows/display_app.h"
#include "framework/windows/user_exception.h"
#include "saver/mouse_rule.h"

namespace wendrel::display {

const std::optional<CPoint> noMousePoint;
std::optional<CPoint> lastMousePoint = noMousePoint;

BOOL CFullScreenWnd::CreateFullScreen() {
    lastMousePoint = noMousePoint;
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return Create(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, screen, nullptr);
}

void CFullScreenWnd::RequestClose() {
    PostMessage(WM_CLOSE, 0, 0);
}

void CFullScreenWnd::InitDirectDraw() {
    CDisplayApp& app = DisplayApp();
    try {
        app.m_exclusive.Init(m_hWnd);
        app.m_bDirectDraw = 1;
    } catch (CUserException* e) {
        e->Delete();
        app.m_bDirectDraw = 0;
        ReleaseDirectDraw();
    }
}

void CFullScreenWnd::ReleaseDirectDraw() {
    DisplayApp().m_exclusive.Release();
}

int CFullScreenWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CSaverWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (DisplayApp().m_bDirectDraw)
        InitDirectDraw();
    return 0;
}

void CFullScreenWnd::OnSysCommand(UINT nID, LPARAM) {
    // Another saver, or the system menu's Close: keep running.
    if (nID == SC_SCREENSAVE || nID == SC_CLOSE)
        return;
    Default();
}

void CFullScreenWnd::EndRun() {
    CDisplayApp& app = DisplayApp();
    app.StopAnimationThread();
    // Only now that nothing draws on them; before the display mode is
    // restored, which would move them.
    app.DestroyCoverWnds();
    ReleaseDirectDraw();
}

LRESULT CFullScreenWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Before the window goes: its destruction first hides it and hands the
    // activation on, which DirectDraw answers with mode switches of its own
    // while the animation thread still flips. Ended here, the display mode
    // is restored while the window is still the active, exclusive one.
    if (message == WM_CLOSE)
        EndRun();
    return CSaverWnd::WindowProc(message, wParam, lParam);
}

void CFullScreenWnd::OnDestroy() {
    // Again for a window destroyed without WM_CLOSE; nothing left otherwise.
    EndRun();
    PostQuitMessage(0);
    CWnd::OnDestroy();
}

void CFullScreenWnd::PostNcDestroy() {
    CDisplayApp& app = DisplayApp();
    if (app.m_pFullScreenWnd == this)
        app.m_pFullScreenWnd = nullptr;
    CSaverWnd::PostNcDestroy();
}

BOOL CFullScreenWnd::OnSetCursor(CWnd*, UINT, UINT) {
    SetCursor(nullptr);
    return TRUE;
}

BOOL CFullScreenWnd::OnNcActivate(BOOL bActive) {
    if (!bActive)
        return FALSE;
    return static_cast<BOOL>(Default());
}

void CFullScreenWnd::OnActivate(UINT nState, CWnd*, BOOL) {
    if (nState == WA_INACTIVE)
        RequestClose();
    Default();
}

void CFullScreenWnd::OnActivateApp(BOOL bActive, DWORD) {
    if (!bActive)
        RequestClose();
    Default();
}

void CFullScreenWnd::MouseMovedTo(CPoint point) {
    std::optional<MousePoint> last;
    if (lastMousePoint)
        last = MousePoint{lastMousePoint->x, lastMousePoint->y};
    const bool close = MouseMoveCloses(last, {point.x, point.y});
    lastMousePoint = CPoint(last->x, last->y);
    if (close)
        RequestClose();
}

void CFullScreenWnd::OnMouseMove(UINT, CPoint point) {
    MouseMovedTo(point);
    Default();
}

void CFullScreenWnd::OnLButtonDown(UINT, CPoint) {
    RequestClose();
    Default();
}

void CFullScreenWnd::OnMButtonDown(UINT, CPoint) {
    RequestClose();
    Default();
}

void CFullScreenWnd::OnRButtonDown(UINT, CPoint) {
    RequestClose();
    Default();
}

void CFullScreenWnd::OnKeyDown(UINT, UINT, UINT) {
    RequestClose();
    Default();
}

void CFullScreenWnd::OnSysKeyDown(UINT, UINT, UINT) {
    RequestClose();
    Default();
}

}  // namespace wendrel::display
