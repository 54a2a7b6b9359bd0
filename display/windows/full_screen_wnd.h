#pragma once

#include <optional>

#include "display/windows/saver_wnd.h"

namespace wendrel::display {

// The saver over the whole primary screen, topmost, with no cursor. It ends
// on the first key, button, loss of activation or mouse movement of more
// than 5 pixels on both axes from the first position it saw.
class CFullScreenWnd : public CSaverWnd {
  public:
    CFullScreenWnd() : CSaverWnd(TRUE) {}

    // Forgets the recorded mouse position and creates the window over the
    // primary screen. FALSE when it cannot be created (the object is gone).
    BOOL CreateFullScreen();

    // The movement rule for a pointer position in screen coordinates, which
    // are this window's client coordinates (it sits at 0, 0): its own moves
    // and those over the windows on the other monitors.
    void MouseMovedTo(CPoint point);
    // Posts WM_CLOSE to the window itself.
    void RequestClose();

    // DirectDraw set-up of the application's exclusive presenter for this
    // window: exclusive 640 x 480 mode at 24 or 32 bits with a flipping
    // chain and an off-screen surface, m_bDirectDraw = 1; on any failure
    // everything is released and m_bDirectDraw = 0.
    void InitDirectDraw();
    // Releases the surfaces, restores the display mode, releases DirectDraw.
    void ReleaseDirectDraw();
    // Stops the animation thread, destroys the covers, releases DirectDraw;
    // nothing when already done.
    void EndRun();

  protected:
    // WM_CLOSE ends the run (EndRun) before the default destroys the window.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    // Ends the run if WM_CLOSE has not, and ends the loop.
    void OnDestroy() override;
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) override;
    BOOL OnNcActivate(BOOL bActive) override;
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) override;
    void OnActivateApp(BOOL bActive, DWORD dwThreadID) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnMButtonDown(UINT nFlags, CPoint point) override;
    void OnRButtonDown(UINT nFlags, CPoint point) override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    // Clears the application's m_pFullScreenWnd, then deletes the object.
    void PostNcDestroy() override;
};

// The mouse reference of the full-screen window (window thread only), kept
// for MouseMoveCloses (mouse_rule.h); process-wide, as the saver defines it.
// "Nothing recorded yet" is the empty value, never a position: every
// position is a real one once a monitor lies left of or above the primary.
extern const std::optional<CPoint> noMousePoint;
extern std::optional<CPoint> lastMousePoint;  // the first position the window received

}  // namespace wendrel::display
