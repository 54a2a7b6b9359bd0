// The animation thread: a tick every 10 ms on a thread of its own, until
// stopped. Apart from the tick (animation.h) so that a toolchain without
// threads still builds the engine; the front ends link it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "scene/animation.h"

namespace wendrel {

// A request to stop, and the loop's wait between ticks, which the request
// cuts short.
class CStopRequest {
  public:
    void Request();
    void Reset();
    // Waits up to `duration`; true when the stop was requested.
    bool WaitFor(std::chrono::milliseconds duration);

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bRequested = false;
};

// The animation thread's procedure: a tick every 10 ms until stopped.
void AnimationThreadProc(CLeafScene& scene, const PresentHooks& present, CStopRequest& stop);

// The animation thread. Stop asks the loop to end and waits until it has.
class CAnimationThread {
  public:
    CAnimationThread() = default;
    ~CAnimationThread();
    CAnimationThread(const CAnimationThread&) = delete;
    CAnimationThread& operator=(const CAnimationThread&) = delete;

    // `onStart` runs first on the new thread (to take the window, say).
    void Start(CLeafScene& scene, PresentHooks present, std::function<void()> onStart = {});
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

  private:
    CStopRequest m_stop;
    std::thread m_thread;
};

}  // namespace wendrel
