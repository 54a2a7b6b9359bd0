#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace wendrel::display {

// Passes each composed frame from the animation thread to the thread that
// owns the window, which alone may talk to SDL. The animation thread waits
// until the frame has been shown, so the block is never rewritten while it
// is read.
class CFrameHandOver {
  public:
    CFrameHandOver() = default;
    CFrameHandOver(const CFrameHandOver&) = delete;
    CFrameHandOver& operator=(const CFrameHandOver&) = delete;

    // Animation thread: offers `frame` and waits until it was taken and
    // done with, or until the hand-over is cancelled.
    void Offer(const std::uint8_t* frame);

    // Window thread: the frame on offer, or null.
    const std::uint8_t* Pending();
    // Window thread: waits up to `timeout` for a frame to be offered.
    const std::uint8_t* WaitPending(std::chrono::milliseconds timeout);
    // Window thread: the pending frame has been shown (or dropped).
    void Done();

    // Releases a waiting Offer and makes every later one return at once:
    // called before the animation thread is stopped and joined.
    void Cancel();
    // Accepts frames again (a new run of the animation thread).
    void Reopen();

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    const std::uint8_t* m_pFrame = nullptr;
    bool m_bCancelled = false;
};

}  // namespace wendrel::display
