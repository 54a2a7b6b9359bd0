#pragma once

#include "display/windows/saver_wnd.h"

namespace wendrel::display {

// The saver over one monitor besides the primary, in full-screen mode:
// topmost, no cursor, black until the animation thread stretches the frame
// onto it (and black for good while the primary runs DirectDraw). It never
// takes the activation, which the full-screen window would read as the end:
// keys go on reaching that window, while moves and buttons over this one are
// handed to its rules. Follows monitors coming and going.
class CCoverWnd : public CSaverWnd {
  public:
    CCoverWnd() : CSaverWnd(TRUE) {}

    // Creates the window over `monitor` (virtual-screen coordinates) and
    // shows it without activating it. FALSE when it cannot be created (the
    // object is gone).
    BOOL CreateCover(const RECT& monitor);

  protected:
    void OnPaint() override;
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) override;
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message) override;
    // Buttons (and keys, should one come here) end the saver as they do
    // over the full-screen window, then get their default processing.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnDisplayChange(UINT nBitsPerPixel, int cx, int cy) override;
    // Leaves the application's list of covers, then deletes the object.
    void PostNcDestroy() override;
};

}  // namespace wendrel::display
