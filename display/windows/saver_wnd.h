#pragma once

#include "framework/windows/wnd.h"

namespace wendrel::display {

// The saver's window: white until the animation thread draws on it. As the
// preview it is a plain child of the settings panel's window.
class CSaverWnd : public CWnd {
  public:
    explicit CSaverWnd(BOOL bAutoDelete);
    ~CSaverWnd() override = default;

    // Registers the saver window class (CS_HREDRAW | CS_VREDRAW, cursor 129,
    // no brush, no icon) into the application's m_strWndClass and creates
    // the window over `rect` (parent client coordinates, or the screen's
    // without a parent), untitled, id 0. FALSE when it cannot be created;
    // an auto-deleting object is then gone.
    virtual BOOL Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd);

    BOOL m_bAutoDelete;

  protected:
    void OnPaint() override;
    // As the main window, stops the animation thread before the window and
    // the application go away.
    void OnDestroy() override;
    void PostNcDestroy() override;
};

}  // namespace wendrel::display
