#pragma once

#include <memory>
#include <string>
#include <vector>

#include "display/windows/cover_wnd.h"
#include "display/windows/exclusive_presenter.h"
#include "display/windows/full_screen_wnd.h"
#include "display/windows/stretch_presenter.h"
#include "framework/windows/win_app.h"
#include "scene/animation_thread.h"
#include "scene/leaf_scene.h"
#include "scene/saver_core.h"

namespace wendrel::display {

// The application state that the saver windows and the presenters share;
// the program's application object derives from it.
class CDisplayApp : public CWinApp, public CSaverCore {
  public:
    CDisplayApp() = default;
    ~CDisplayApp() override;

    // Stops an animation thread that is still running, so that it never
    // outlives what it draws (the scene, the window), then the framework's.
    int ExitInstance() override;

    // m_pThread = a new animation thread over `scene`, presenting through
    // PresentGdi or PresentDirectDraw. The thread takes the main window
    // (m_pMainWnd as it is now) and the covers (m_coverWnds) for the GDI
    // presenter when it starts.
    void StartAnimationThread(CLeafScene& scene);
    // Asks the animation thread to stop, waits until it has, deletes it.
    // Nothing happens when there is none.
    void StopAnimationThread();

    // Full-screen mode, after the full-screen window exists (its creation
    // may switch the display mode and move the other monitors) and while no
    // animation thread runs: a cover over every monitor but the primary, and
    // a look at the monitors every half second (FollowMonitorLayout), since
    // Wine changes its list of monitors when one is plugged in or out
    // without a WM_DISPLAYCHANGE; the covers handle that message too.
    void CreateCoverWnds();
    // Destroys the covers and ends the look at the monitors; only while no
    // animation thread runs (it draws on the covers).
    void DestroyCoverWnds();
    // After a change of the monitors: when the primary monitor is no longer
    // under the full-screen window, ends the saver; when the other monitors
    // changed, stops the animation thread, covers them anew and restarts it.
    void FollowMonitorLayout();

    std::string m_strWndClass;  // the saver windows' class, from Create
    std::unique_ptr<CAnimationThread> m_pThread;
    // The full-screen window, in full-screen mode only; the window clears it
    // when it deletes itself.
    CFullScreenWnd* m_pFullScreenWnd = nullptr;
    // The windows over the other monitors; each leaves the list when it
    // deletes itself. Changed only while no animation thread runs.
    std::vector<CCoverWnd*> m_coverWnds;
    UINT_PTR m_nLayoutTimer = 0;  // the thread timer of that look, or 0
    // The scene of the last animation thread started, for a restart.
    CLeafScene* m_pAnimatedScene = nullptr;

    // The two presenters; which one the animation thread uses is
    // m_bDirectDraw's choice.
    CExclusivePresenter m_exclusive;
    CStretchPresenter m_stretch;
};

// The application object as a CDisplayApp; there must be one.
CDisplayApp& DisplayApp();

}  // namespace wendrel::display
