#pragma once

#include <ddraw.h>

#include <string>

#include "animation.h"
#include "leaf_scene.h"
#include "saver_core.h"
#include "win_app.h"

namespace wendrel {

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
    // (m_pMainWnd as it is now) for the GDI presenter when it starts.
    void StartAnimationThread(CLeafScene& scene);
    // Asks the animation thread to stop, waits until it has, deletes it.
    // Nothing happens when there is none.
    void StopAnimationThread();

    std::string m_strWndClass;  // the saver windows' class, from Create
    CAnimationThread* m_pThread = nullptr;

    // DirectDraw state of the full-screen presenter. The back buffer belongs
    // to the primary surface's flipping chain and is never released alone.
    LPDIRECTDRAW m_pDirectDraw = nullptr;
    LPDIRECTDRAWSURFACE m_pPrimarySurface = nullptr;
    LPDIRECTDRAWSURFACE m_pBackBuffer = nullptr;
    LPDIRECTDRAWSURFACE m_pOffscreenSurface = nullptr;

    // The window the GDI presenter draws into. Written by the animation
    // thread when it starts and read only by it.
    HWND m_hPresentWnd = nullptr;
};

// The application object as a CDisplayApp; there must be one.
CDisplayApp& DisplayApp();

}  // namespace wendrel
