// The Wayland side of the application object: "s" and --background on a
// compositor's own surfaces.
#include <chrono>
#include <cstdio>

#include "app/linux/saver_app.h"
#include "app/linux/stop_signals.h"
#include "display/wayland/wayland_saver.h"
#include "display/wayland/wayland_session.h"

namespace wendrel::linux_app {
namespace {

// The longest the loop waits for the compositor before it looks at the
// stop signals and the focus again.
constexpr int kDispatchMilliseconds = 100;
// How long a woken loop waits for the frame it was woken for.
constexpr std::chrono::milliseconds kFrameWait{20};

void Complain(const std::string& message) {
    std::fprintf(stderr, "wendrel: %s\n", message.c_str());
}

}  // namespace

int CSaverApp::RunWayland(display::wayland::CWaylandSession& session) {
    using display::wayland::SurfaceRole;
    const bool saver = m_mode == SaverMode::FullScreen;
    // One saver per session, as on X one per display; a background of its own.
    std::string error;
    const std::string name = (saver ? "" : "background-") + session.SessionName();
    switch (m_instance.Acquire(name, error)) {
        case CInstanceLock::Result::Held:
            if (saver)
                return 0;  // another saver covers the outputs already
            Complain("a moving background runs in this session already");
            return 1;
        case CInstanceLock::Result::Failed:
            Complain("another saver in this session cannot be kept off: " + error);
            break;
        case CInstanceLock::Result::Acquired:
            break;
    }
    InstallStopSignals();
    // The exclusive 640 x 480 mode does not exist on Wayland: its set-up
    // fails there, so the stretch pace runs (the compositor does the
    // stretching).
    m_bDirectDraw = 0;
    m_scene.LoadBackground();

    int status = 0;
    {
        display::wayland::CWaylandSaver surfaces(
            session, saver ? SurfaceRole::Saver : SurfaceRole::Background);
        if (!surfaces.Create(error)) {
            Complain(error);
            m_instance.Release();
            return 1;
        }
        m_handOver.Reopen();
        const PresentFn present = [this, &session](CLeafScene& scene) {
            session.Wake();
            m_handOver.Offer(scene.Frame());
        };
        {
            const CStopSignalBlock block;
            m_thread.Start(m_scene, PresentHooks{present, present});
        }
        while (!StopSignalled()) {
            bool woken = false;
            if (!session.Dispatch(kDispatchMilliseconds, woken, error)) {
                Complain(error);
                status = 1;
                break;
            }
            const std::uint8_t* frame =
                woken ? m_handOver.WaitPending(kFrameWait) : m_handOver.Pending();
            if (frame != nullptr) {
                // The animation thread waits in Offer until Done: the
                // scene's account of what changed is as settled as the frame.
                surfaces.ShowFrame(frame, &m_scene.LastChanges(), m_scene.ComposeCount());
                m_handOver.Done();
            }
            if (surfaces.OnIdle(display::wayland::CWaylandSaver::SteadyMilliseconds())) {
                if (!surfaces.Fault().empty()) {
                    Complain(surfaces.Fault());
                    status = 1;
                }
                break;
            }
        }
        m_handOver.Cancel();
        m_thread.Stop();
    }
    m_instance.Release();
    return status;
}

}  // namespace wendrel::linux_app
