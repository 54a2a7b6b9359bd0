#include "scene/animation_thread.h"

namespace wendrel {

void CStopRequest::Request() {
    {
        std::lock_guard lock(m_mutex);
        m_bRequested = true;
    }
    m_changed.notify_all();
}

void CStopRequest::Reset() {
    std::lock_guard lock(m_mutex);
    m_bRequested = false;
}

bool CStopRequest::WaitFor(std::chrono::milliseconds duration) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, duration, [this] { return m_bRequested; });
}

void AnimationThreadProc(CLeafScene& scene, const PresentHooks& present, CStopRequest& stop) {
    while (!stop.WaitFor(std::chrono::milliseconds(10)))
        AnimationTick(scene, present);
}

CAnimationThread::~CAnimationThread() {
    Stop();
}

void CAnimationThread::Start(CLeafScene& scene, PresentHooks present,
                             std::function<void()> onStart) {
    Stop();
    m_stop.Reset();
    m_thread = std::thread([this, &scene, hooks = std::move(present), start = std::move(onStart)] {
        if (start)
            start();
        AnimationThreadProc(scene, hooks, m_stop);
    });
}

void CAnimationThread::Stop() {
    if (!m_thread.joinable())
        return;
    m_stop.Request();
    m_thread.join();
}

}  // namespace wendrel
