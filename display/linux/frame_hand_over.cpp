#include "frame_hand_over.h"

#include <utility>

namespace wendrel::display {

CFrameHandOver::CFrameHandOver(std::function<void()> wake) : m_fnWake(std::move(wake)) {}

void CFrameHandOver::Offer(const std::uint8_t* frame) {
    {
        std::lock_guard lock(m_mutex);
        if (m_bCancelled)
            return;
        m_pFrame = frame;
    }
    if (m_fnWake)
        m_fnWake();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_pFrame == nullptr || m_bCancelled; });
    m_pFrame = nullptr;
}

const std::uint8_t* CFrameHandOver::Pending() {
    std::lock_guard lock(m_mutex);
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
