#pragma once

#include "framework/windows/geometry.h"
#include "framework/windows/win32.h"

namespace wendrel {

// A window object. Create (or CreateEx) makes the system window and attaches
// the object to it before its first message, so WM_CREATE already reaches
// OnCreate. Messages go to the virtual handlers below; each base handler
// does the default processing.
class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    // Creates the system window. The class must exist (AfxRegisterWndClass,
    // or a system class). On failure returns FALSE after PostNcDestroy has
    // run, so an object that deletes itself there is gone.
    BOOL CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName,
                  DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                  HMENU nIDorHMenu, void* lpParam = nullptr);

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to hWnd on this thread, else a temporary wrapper
    // that lives until the message loop next goes idle. Null for null.
    static CWnd* FromHandle(HWND hWnd);
    // The object attached to hWnd on this thread, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Drops the temporary wrappers of this thread.
    static void DeleteTempMap();

    void GetClientRect(LPRECT lpRect) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual BOOL DestroyWindow();

    // Hands the message being handled to the window procedure the object
    // replaced (the class's, as a rule the system's default one).
    LRESULT Default();

    // Called after the window's last message, once the object is detached.
    virtual void PostNcDestroy() {}

  protected:
    // Every message of the window, with its result.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnPaint();
    virtual void OnDestroy();
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    virtual BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    virtual BOOL OnNcActivate(BOOL bActive);
    virtual void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    virtual void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnMButtonDown(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    // MA_ACTIVATE, MA_NOACTIVATE and the like: whether a click activates.
    virtual int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    // The display's depth or size, or the set of monitors, has changed.
    virtual void OnDisplayChange(UINT nBitsPerPixel, int cx, int cy);
    // TRUE when the command was handled; otherwise it gets default processing.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // Around a system call that creates this object's window: the first
    // window the thread creates in between is attached to it. Unhook says
    // whether that happened.
    void HookWindowCreate();
    static bool UnhookWindowCreate();

  private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);

    void Attach(HWND hWnd);
    void Detach();
    void OnNcDestroy();

    WNDPROC m_pfnSuper = nullptr;
    bool m_bTemporary = false;
};

}  // namespace wendrel
