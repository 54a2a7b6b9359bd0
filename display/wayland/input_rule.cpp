#include "display/wayland/input_rule.h"

namespace wendrel::display::wayland {

void CInputRule::Reset() {
    m_mouse.Reset();
    m_bFocused = false;
    m_nFocusCheckAt = 0;
}

void CInputRule::OnKeyboardEnter() {
    m_bFocused = true;
    m_nFocusCheckAt = 0;
}

void CInputRule::OnKeyboardLeave(std::uint64_t nowMilliseconds) {
    m_bFocused = false;
    if (m_nFocusCheckAt == 0)
        m_nFocusCheckAt = nowMilliseconds + kFocusSettleMilliseconds;
}

bool CInputRule::OnIdle(std::uint64_t nowMilliseconds) {
    if (m_nFocusCheckAt == 0 || nowMilliseconds < m_nFocusCheckAt)
        return false;
    m_nFocusCheckAt = 0;
    return !m_bFocused;
}

}  // namespace wendrel::display::wayland
