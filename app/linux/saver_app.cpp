#include "app/linux/saver_app.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/linux/dialog/config_dialog.h"
#include "app/linux/stop_signals.h"
#include "display/wayland/wayland_session.h"
#include "display/x11/full_screen_wnd.h"
#include "display/x11/saver_cursor.h"
#include "res/embedded/embedded_files.h"
#include "saver/saver_names.h"
#include "scene/random.h"

namespace wendrel::linux_app {
namespace {

// How often the window thread asks X about a window that is not ours.
constexpr std::uint64_t kProbeMilliseconds = 100;
// The longest the loop waits for a frame before it looks at events again.
constexpr std::chrono::milliseconds kWaitMilliseconds{20};

void Complain(const std::string& message) {
    std::fprintf(stderr, "wendrel: %s\n", message.c_str());
}

const char* DisplayName() {
    const char* name = std::getenv("DISPLAY");
    return name != nullptr && *name != '\0' ? name : "(DISPLAY is unset)";
}

}  // namespace

CSaverApp::CSaverApp(std::string programName) : m_strProgram(std::move(programName)) {}

CSaverApp::~CSaverApp() {
    EndSaver();
}

int CSaverApp::InitInstance(const std::vector<std::string>& args) {
    std::string error;
    const std::optional<LaunchRequest> request =
        ParseCommandLine(args, std::getenv("XSCREENSAVER_WINDOW"), error);
    if (request && request->mode == SaverMode::Help) {
        std::fputs(kHackUsage, stdout);
        std::fputs(kHelpOptions, stdout);
        return 0;
    }
    if (request && request->mode == SaverMode::Version) {
        std::printf("wendrel %s\n", kVersion);
        return 0;
    }

    SeedRandom(StartSeed(request ? request->mode : SaverMode::Config, std::time(nullptr),
                         static_cast<std::uint32_t>(getpid())));
    CSettingsStore store(CSettingsStore::DefaultConfigHome(), kCompanyKey, m_strProgram);
    std::string unreadable;
    if (!store.ReadProfileInt(kSettingsSection, kNoDirectEntry, 0, m_bNoDirect, unreadable))
        Complain(unreadable + "; the default settings are used");

    if (!request) {
        Complain(error);
        std::fputs(kHackUsage, stderr);
        return 2;
    }
    m_mode = request->mode;
    if (m_mode == SaverMode::Config)
        return RunConfigDialog(store);
    return RunSaver(*request);
}

int CSaverApp::RunSaver(const LaunchRequest& request) {
    if (WantsWayland(m_mode, std::getenv("WAYLAND_DISPLAY"), std::getenv("WENDREL_BACKEND"))) {
        display::wayland::CWaylandSession session;
        std::string error;
        if (session.Connect(error))
            return RunWayland(session);
        const char* x = std::getenv("DISPLAY");
        if (x == nullptr || *x == '\0') {
            Complain(error + ", and there is no X display (DISPLAY is unset)");
            return 1;
        }
        // Xwayland, or an X server beside a compositor that is gone.
    }
    if (m_mode == SaverMode::Background)
        m_mode = SaverMode::Hack;  // on X: the root window, a picture per monitor
    if (m_mode == SaverMode::FullScreen && !GuardDisplay())
        return 0;  // another saver has the display
    // The X11 driver is the one that can draw into other programs' windows;
    // SDL's own framebuffer (XShm) is used rather than one on OpenGL.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A saver never keeps the display from blanking or powering down: SDL
    // would otherwise hold off the X screen saver and DPMS.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Focus going from one of our monitors' windows to another must not
    // minimise the exclusive one; its loss to another program ends the
    // saver anyway.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (m_mode == SaverMode::Hack || m_mode == SaverMode::Preview) {
        // Part of a screen saver: never GL.
        SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_OVERRIDE);
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        Complain(std::string("cannot open the X display ") + DisplayName() + ": " + SDL_GetError());
        return 1;
    }
    m_bVideo = true;
    display::TrapXErrors();
    std::string error;
    if (!m_probe.Open(error)) {
        Complain(error + " " + DisplayName());
        return 1;
    }
    InstallStopSignals();

    m_bDirectDraw =
        m_mode == SaverMode::FullScreen && m_bNoDirect == 0 && m_watcher.IsRunning() ? 1 : 0;
    m_scene.LoadBackground();
    int status = 1;
    if (!CreateMainWindow(request, error, status)) {
        Complain(error);
        EndSaver();
        return status;
    }
    // The monitors the saver covers now: when they change, the covering
    // follows (the root window) or the saver ends (full screen).
    m_monitors = m_probe.Monitors();
    if (m_bRootMonitors)
        DrawPerMonitor();
    if (m_mode == SaverMode::Window || m_mode == SaverMode::Preview) {
        // The four-headed arrow over the windows that do not hide it; a
        // hack leaves the daemon's window alone.
        m_pCursor = display::CreateSaverCursor(embedded::FindFile("wendrel.cur"));
        if (m_pCursor != nullptr)
            SDL_SetCursor(m_pCursor);
    }
    StartAnimationThread();
    Run();
    EndSaver();
    return 0;
}

bool CSaverApp::GuardDisplay() {
    std::string error;
    const char* display = std::getenv("DISPLAY");
    switch (m_instance.Acquire(display != nullptr ? display : "", error)) {
        case CInstanceLock::Result::Held:
            return false;
        case CInstanceLock::Result::Failed:
            Complain("another saver on this display cannot be kept off: " + error);
            break;
        case CInstanceLock::Result::Acquired:
            break;
    }
    // Before SDL starts, while this is the only thread: the watcher is a
    // copy of this process.
    if (m_bNoDirect == 0 && !m_watcher.Start(error))
        Complain("the display mode is left as it is: " + error);
    return true;
}

bool CSaverApp::CreateMainWindow(const LaunchRequest& request, std::string& error, int& status) {
    status = 1;
    switch (m_mode) {
        case SaverMode::FullScreen: {
            auto window = std::make_unique<display::CFullScreenWnd>();
            const bool made = window->CreateFullScreen(m_bDirectDraw, error);
            m_pMainWnd = std::move(window);
            return made;
        }
        case SaverMode::Window:
            m_pMainWnd = std::make_unique<display::CTryOutWnd>();
            return m_pMainWnd->CreateWindowed(640, 480, error);
        case SaverMode::Preview: {
            const unsigned long child = m_probe.CreateChild(*request.windowId);
            if (child == 0) {
                error =
                    "there is no window " + std::to_string(*request.windowId) + " to preview in";
                return false;
            }
            m_pMainWnd = std::make_unique<display::CSaverWnd>();
            return m_pMainWnd->CreateFrom(child, error);
        }
        case SaverMode::Hack: {
            const unsigned long target = request.windowId.value_or(m_probe.Root());
            // The root window of `--root` spans every monitor: a picture
            // on each, never one across the seams.
            m_bRootMonitors = !request.windowId;
            const std::optional<display::WindowSize> size = m_probe.SizeOf(target);
            if (!size) {
                error = "there is no window " + std::to_string(target) + " to draw into";
                return false;
            }
            m_foreignSize = *size;
            m_pMainWnd = std::make_unique<display::CSaverWnd>();
            return m_pMainWnd->CreateFrom(target, error);
        }
        case SaverMode::Background:
        case SaverMode::Config:
        case SaverMode::Help:
        case SaverMode::Version:
            break;  // no window: handled before any is made
    }
    return false;
}

void CSaverApp::StartAnimationThread() {
    m_handOver.Reopen();
    const PresentFn present = [this](CLeafScene& scene) { m_handOver.Offer(scene.Frame()); };
    // The thread must not take the stop signals: their handler belongs to
    // the loop's thread.
    const CStopSignalBlock block;
    m_thread.Start(m_scene, PresentHooks{present, present});
}

void CSaverApp::Run() {
    // The loop wakes for each frame; SDL's own wake-up cannot be relied on,
    // since it goes to the window's maker, which for a window that is not
    // ours is another program.
    while (!StopSignalled()) {
        const std::uint8_t* frame = m_handOver.WaitPending(kWaitMilliseconds);
        bool close = false;
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0)
            close = m_pMainWnd->OnEvent(event) || close;
        close = m_pMainWnd->OnIdle() || close;
        if (close || CheckForeignWindow() || CheckMonitors())
            break;
        if (frame != nullptr) {
            // The animation thread waits in Offer until Done: the scene's
            // account of what changed is as settled as the frame.
            m_pMainWnd->ShowFrame(
                display::FrameToShow{frame, &m_scene.LastChanges(), m_scene.ComposeCount()});
            m_handOver.Done();
        }
    }
}

void CSaverApp::DrawPerMonitor() {
    std::vector<SDL_Rect> areas;
    if (m_monitors.size() > 1) {
        for (const display::MonitorRect& monitor : m_monitors)
            areas.push_back(SDL_Rect{monitor.x, monitor.y, monitor.width, monitor.height});
    }
    m_pMainWnd->SetAreas(areas);
    m_pMainWnd->Invalidate();
}

bool CSaverApp::CheckMonitors() {
    if (m_mode != SaverMode::FullScreen && !m_bRootMonitors)
        return false;
    const std::uint64_t now = SDL_GetTicks64();
    if (now < m_nNextMonitorProbe)
        return false;
    m_nNextMonitorProbe = now + kProbeMilliseconds;
    std::vector<display::MonitorRect> monitors = m_probe.Monitors();
    if (monitors == m_monitors)
        return false;
    m_monitors = std::move(monitors);
    if (m_mode == SaverMode::FullScreen)
        return true;  // no window is left on a monitor that is gone, nor one uncovered
    DrawPerMonitor();
    return false;
}

bool CSaverApp::CheckForeignWindow() {
    const unsigned long window = m_pMainWnd->ForeignWindow();
    if (window == 0)
        return false;
    // SDL hears nothing of a window that is not its own; frames send only
    // what changed, so what was uncovered is drawn whole with the next one.
    if (window != m_nWatchedWindow) {
        m_probe.WatchExposures(window);
        m_nWatchedWindow = window;
    }
    const std::uint64_t now = SDL_GetTicks64();
    if (now < m_nNextProbe)
        return false;
    m_nNextProbe = now + kProbeMilliseconds;
    if (m_probe.TakeExposed(window))
        m_pMainWnd->Invalidate();
    const std::optional<display::WindowSize> size = m_probe.SizeOf(window);
    if (!size)
        return true;
    if (m_mode == SaverMode::Hack && !(*size == m_foreignSize)) {
        m_foreignSize = *size;
        std::string error;
        if (!m_pMainWnd->Rewrap(error)) {
            Complain(error);
            return true;
        }
        if (m_bRootMonitors) {
            m_monitors = m_probe.Monitors();
            DrawPerMonitor();
        }
    }
    return false;
}

void CSaverApp::EndSaver() {
    // The thread may be waiting for its frame to be shown: release it,
    // then stop it and wait for its end, before the window goes.
    m_handOver.Cancel();
    m_thread.Stop();
    if (m_pMainWnd)
        m_pMainWnd->Destroy();
    m_pMainWnd.reset();
    if (m_pCursor != nullptr)
        SDL_FreeCursor(m_pCursor);
    m_pCursor = nullptr;
    if (m_bVideo)
        SDL_Quit();
    // SDL gave the primary monitor its mode back with the window, but not
    // always the rest of the layout (another monitor left of or above it
    // can lose its place): the watcher puts back whatever still differs.
    m_watcher.Finish(false);
    m_instance.Release();
    m_bVideo = false;
}

}  // namespace wendrel::linux_app
