#include "display/windows/saver_wnd.h"

#include "display/windows/display_app.h"
#include "framework/windows/paint_dc.h"
#include "framework/windows/wnd_class.h"
#include "res/resource_ids.h"

namespace wendrel::display {

CSaverWnd::CSaverWnd(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

BOOL CSaverWnd::Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd) {
    CDisplayApp& app = DisplayApp();
    HCURSOR hCursor = LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_SAVER));
    app.m_strWndClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, hCursor, nullptr, nullptr);
    return CreateEx(dwExStyle, app.m_strWndClass.c_str(), "", dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr, nullptr, nullptr);
}

void CSaverWnd::OnPaint() {
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    PatBlt(dc.m_hDC, rect.left, rect.top, rect.Width(), rect.Height(), WHITENESS);
}

void CSaverWnd::OnDestroy() {
    CDisplayApp& app = DisplayApp();
    if (app.m_pMainWnd == this)
        app.StopAnimationThread();
    CWnd::OnDestroy();
}

void CSaverWnd::PostNcDestroy() {
    if (m_bAutoDelete)
        delete this;
}

}  // namespace wendrel::display
