#include "display/x11/frame_hand_over.h"

namespace wendrel::display {

void CFrameHandOver::Offer(const std::uint8_t* frame) {
    {
        std::lock_guard lock(m_mutex);
        if (m_bCancelled)
            return;
        m_pFrame = frame;
    }
    m_changed.notify_all();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_pFrame == nullptr || m_bCancelled; });
    m_pFrame = nullptr;
}

const std::uint8_t* CFrameHandOver::Pending() {
    std::lock_guard lock(m_mutex);
    return m_pFrame;
}

const std::uint8_t* CFrameHandOver::WaitPending(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, timeout, [this] { return m_pFrame != nullptr; });
    return m_pFrame;
}

void CFrameHandOver::Done() {
    {
        std::lock_guard lock(m_mutex);
        m_pFrame = nullptr;
    }
    m_changed.notify_all();
}

void CFrameHandOver::Cancel() {
    {
        std::lock_guard lock(m_mutex);
        m_bCancelled = true;
    }
    m_changed.notify_all();
}

void CFrameHandOver::Reopen() {
    std::lock_guard lock(m_mutex);
    m_bCancelled = false;
    m_pFrame = nullptr;
}

}  // namespace wendrel::display
