#include "framework/windows/wnd.h"

#include <windowsx.h>

#include <memory>
#include <unordered_map>

#include "framework/windows/win_app.h"

namespace wendrel {
namespace {

// Window objects belong to the thread that made their windows, as the
// windows do; nothing here is shared between threads.
struct CThreadWindows {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
    CWnd* pWndInit = nullptr;
    HHOOK hHook = nullptr;
    MSG current{};
};

thread_local CThreadWindows threadWindows;

// The input method windows the system makes on its own are never ours.
bool IsImeWindow(HWND hWnd) {
    if (GetClassLongPtrA(hWnd, GCL_STYLE) & CS_IME)
        return true;
    char name[16] = {};
    GetClassNameA(hWnd, name, sizeof name);
    return lstrcmpiA(name, "IME") == 0;
}

}  // namespace

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr)
        return DefWindowProcA(hWnd, message, wParam, lParam);
    // Default() answers for the message being handled, also when a handler
    // sends another message to a window of this thread.
    const MSG saved = threadWindows.current;
    threadWindows.current = MSG{hWnd, message, wParam, lParam, 0, {}};
    LRESULT result = 0;
    if (message == WM_NCDESTROY)
        pWnd->OnNcDestroy();
    else
        result = pWnd->WindowProc(message, wParam, lParam);
    threadWindows.current = saved;
    return result;
}

LRESULT CALLBACK AfxCbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_CREATEWND && threadWindows.pWndInit != nullptr) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (!IsImeWindow(hWnd)) {
            CWnd* pWnd = threadWindows.pWndInit;
            threadWindows.pWndInit = nullptr;
            pWnd->Attach(hWnd);
        }
    }
    return CallNextHookEx(threadWindows.hHook, nCode, wParam, lParam);
}

CWnd::~CWnd() {
    if (m_bTemporary || m_hWnd == nullptr)
        return;
    // Deleted while its window lives: let the window go on without us.
    HWND hWnd = m_hWnd;
    SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    Detach();
    if (CWinApp* pApp = AfxGetApp(); pApp != nullptr && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
    ::DestroyWindow(hWnd);
}

void CWnd::HookWindowCreate() {
    threadWindows.pWndInit = this;
    if (threadWindows.hHook == nullptr)
        threadWindows.hHook =
            SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, GetCurrentThreadId());
}

bool CWnd::UnhookWindowCreate() {
    if (threadWindows.hHook != nullptr) {
        UnhookWindowsHookEx(threadWindows.hHook);
        threadWindows.hHook = nullptr;
    }
    const bool attached = threadWindows.pWndInit == nullptr;
    threadWindows.pWndInit = nullptr;
    return attached;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName,
                    DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                    HMENU nIDorHMenu, void* lpParam) {
    if (m_hWnd != nullptr)
        return FALSE;
    HookWindowCreate();
    HWND hWnd = CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth,
                                nHeight, hWndParent, nIDorHMenu, AfxGetInstanceHandle(), lpParam);
    if (!UnhookWindowCreate()) {
        // The system gave up before the window existed, so no WM_NCDESTROY
        // will come: clean up as if it had.
        if (hWnd != nullptr)
            ::DestroyWindow(hWnd);
        PostNcDestroy();
        return FALSE;
    }
    // When hWnd is null the window was attached and then destroyed during
    // its creation; PostNcDestroy has run and `this` may be gone.
    return hWnd != nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto found = threadWindows.permanent.find(hWnd);
    return found == threadWindows.permanent.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    auto& slot = threadWindows.temporary[hWnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hWnd;
        slot->m_bTemporary = true;
    }
    return slot.get();
}

void CWnd::DeleteTempMap() {
    threadWindows.temporary.clear();
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
    threadWindows.permanent[hWnd] = this;
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    m_pfnSuper = previous == AfxWndProc ? DefWindowProcA : previous;
}

void CWnd::Detach() {
    threadWindows.permanent.erase(m_hWnd);
    m_hWnd = nullptr;
}

void CWnd::OnNcDestroy() {
    // The main window's end is the application's end.
    if (CWinApp* pApp = AfxGetApp(); pApp != nullptr && pApp->m_pMainWnd == this) {
        pApp->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    Default();
    Detach();
    PostNcDestroy();
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::Default() {
    const MSG& msg = threadWindows.current;
    WNDPROC proc = m_pfnSuper != nullptr ? m_pfnSuper : DefWindowProcA;
    return CallWindowProcA(proc, m_hWnd, msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
        case WM_CREATE:
            return OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<UINT>(wParam), lParam);
            return 0;
        case WM_SETCURSOR:
            return OnSetCursor(FromHandle(reinterpret_cast<HWND>(wParam)),
                               static_cast<UINT>(static_cast<short>(LOWORD(lParam))),
                               HIWORD(lParam));
        case WM_NCACTIVATE:
            return OnNcActivate(static_cast<BOOL>(wParam));
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));
            return 0;
        case WM_ACTIVATEAPP:
            OnActivateApp(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(static_cast<UINT>(wParam), point);
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(static_cast<UINT>(wParam), point);
            return 0;
        case WM_MBUTTONDOWN:
            OnMButtonDown(static_cast<UINT>(wParam), point);
            return 0;
        case WM_RBUTTONDOWN:
            OnRButtonDown(static_cast<UINT>(wParam), point);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_SYSKEYDOWN:
            OnSysKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_MOUSEACTIVATE:
            return OnMouseActivate(FromHandle(reinterpret_cast<HWND>(wParam)),
                                   static_cast<UINT>(static_cast<short>(LOWORD(lParam))),
                                   HIWORD(lParam));
        case WM_DISPLAYCHANGE:
            OnDisplayChange(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_COMMAND:
            return OnCommand(wParam, lParam) ? 0 : Default();
        default:
            return Default();
    }
}

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}

void CWnd::OnPaint() {
    Default();
}

void CWnd::OnDestroy() {
    Default();
}

void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}

BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return static_cast<BOOL>(Default());
}

BOOL CWnd::OnNcActivate(BOOL) {
    return static_cast<BOOL>(Default());
}

void CWnd::OnActivate(UINT, CWnd*, BOOL) {
    Default();
}

void CWnd::OnActivateApp(BOOL, DWORD) {
    Default();
}

void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}

void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}

void CWnd::OnMButtonDown(UINT, CPoint) {
    Default();
}

void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}

void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}

void CWnd::OnSysKeyDown(UINT, UINT, UINT) {
    Default();
}

int CWnd::OnMouseActivate(CWnd*, UINT, UINT) {
    return static_cast<int>(Default());
}

void CWnd::OnDisplayChange(UINT, int, int) {
    Default();
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) {
    return FALSE;
}

}  // namespace wendrel
