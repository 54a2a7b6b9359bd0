#pragma once

#include "framework/windows/wnd.h"

namespace wendrel {

// Painting of one WM_PAINT: begins in the constructor, ends in the destructor.
class CPaintDC {
  public:
    explicit CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) {
        m_hDC = BeginPaint(m_hWnd, &m_ps);
    }
    ~CPaintDC() { EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    PAINTSTRUCT m_ps{};
    HDC m_hDC = nullptr;

  private:
    HWND m_hWnd;
};

}  // namespace wendrel
