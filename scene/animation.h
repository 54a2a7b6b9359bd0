#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "leaf_scene.h"

namespace wendrel {

// The loop's own state, touched only by the thread that runs the loop.
extern std::int32_t spawnTickCounter;  // ticks since the last spawn decision
extern std::int32_t targetLeafCount;   // wanted number of leaves, 0 ... 25
extern std::int32_t windOffset;        // sideways push on every leaf, pixels
extern std::int32_t gustStep;          // change of windOffset per tick in a gust
extern std::int32_t gustActive;        // a gust may move windOffset

// Puts the loop's state back to its start values.
void ResetAnimationGlobals();

using PresentFn = std::function<void(CLeafScene&)>;

// Where finished frames go: one of the two is called every tick, chosen by
// the core's m_bDirectDraw. Either may be empty.
struct PresentHooks {
    PresentFn presentGdi;
    PresentFn presentDirectDraw;
};

// One tick without its sleep: spawn decision, wind, compose, present.
void AnimationTick(CLeafScene& scene, const PresentHooks& present);

// A request to stop, and the loop's wait between ticks, which the request
// cuts short.
class CStopRequest {
  public:
    void Request();
    void Reset();
    bool IsRequested();
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
