#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/linux/command_line.h"
#include "app/linux/instance_lock.h"
#include "app/linux/settings_store.h"
#include "display/x11/frame_hand_over.h"
#include "display/x11/mode_watcher.h"
#include "display/x11/saver_wnd.h"
#include "display/x11/x_windows.h"
#include "scene/animation_thread.h"
#include "scene/leaf_scene.h"
#include "scene/saver_core.h"

namespace wendrel::display::wayland {
class CWaylandSession;
}

namespace wendrel::linux_app {

// The application object of the Linux saver: start-up, the chosen mode's
// window, the animation thread and the window thread's loop.
class CSaverApp : public CSaverCore {
  public:
    explicit CSaverApp(std::string programName);
    ~CSaverApp() override;

    // Start-up and, for a saver mode, the loop until the window closes.
    // Returns the exit status.
    int InitInstance(const std::vector<std::string>& args);

  private:
    int RunSaver(const LaunchRequest& request);
    // "s" and --background on a Wayland compositor (saver_app_wayland.cpp).
    int RunWayland(display::wayland::CWaylandSession& session);
    // Full-screen mode: false when another saver has the display; else the
    // display is this saver's, and guarded by the mode watcher when the
    // mode may be switched.
    bool GuardDisplay();
    bool CreateMainWindow(const LaunchRequest& request, std::string& error, int& status);
    void StartAnimationThread();
    void Run();
    // True when the existing window drawn into went away.
    bool CheckForeignWindow();
    // The root window: one picture on each of m_monitors.
    void DrawPerMonitor();
    // True when the monitors changed under the full-screen windows (which
    // then close); the root window's pictures follow them.
    bool CheckMonitors();
    void EndSaver();

    std::string m_strProgram;
    std::int32_t m_bNoDirect = 0;
    SaverMode m_mode = SaverMode::Config;
    CLeafScene m_scene;
    display::CFrameHandOver m_handOver;
    CAnimationThread m_thread;
    std::unique_ptr<display::CSaverWnd> m_pMainWnd;
    SDL_Cursor* m_pCursor = nullptr;
    display::CXProbe m_probe;
    CInstanceLock m_instance;
    display::CModeWatcher m_watcher;
    bool m_bVideo = false;
    display::WindowSize m_foreignSize{0, 0};
    std::uint64_t m_nNextProbe = 0;
    unsigned long m_nWatchedWindow = 0;
    bool m_bRootMonitors = false;
    std::vector<display::MonitorRect> m_monitors;
    std::uint64_t m_nNextMonitorProbe = 0;
};

}  // namespace wendrel::linux_app
