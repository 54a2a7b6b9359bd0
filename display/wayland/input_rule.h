#pragma once

#include <cstdint>

#include "saver/mouse_rule.h"

namespace wendrel::display::wayland {

// When the Wayland saver ends: a key or button press, a scroll, a pointer
// movement the shared mouse rule calls large enough (positions in the
// compositor's global space, so that going from one output to the next is
// movement like any other; the first position the pointer enters at is the
// reference, not a movement), or the keyboard focus gone to another client:
// lost from one of our surfaces and not given to another of ours within a
// moment. Each call returns true when the saver should end.
class CInputRule {
  public:
    // How long the focus may take to pass between our own surfaces.
    static constexpr std::uint64_t kFocusSettleMilliseconds = 250;

    void Reset();
    bool OnPointerAt(std::int32_t x, std::int32_t y) { return m_mouse.OnMove(x, y); }
    static bool OnButton(bool pressed) { return pressed; }
    static bool OnScroll() { return true; }
    static bool OnKey(bool pressed) { return pressed; }
    void OnKeyboardEnter();
    void OnKeyboardLeave(std::uint64_t nowMilliseconds);
    // Called now and then: true when the focus left us for good.
    bool OnIdle(std::uint64_t nowMilliseconds);

  private:
    CMouseRule m_mouse;
    bool m_bFocused = false;
    std::uint64_t m_nFocusCheckAt = 0;
};

}  // namespace wendrel::display::wayland
