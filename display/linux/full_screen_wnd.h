#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "display/linux/exclusive_presenter.h"
#include "display/linux/saver_wnd.h"
#include "saver/mouse_rule.h"

namespace wendrel::display {

// The saver proper: a borderless window over the whole primary screen,
// cursor hidden, that asks to close on a key press, a button press, a
// large enough mouse movement or the loss of focus.
class CFullScreenWnd : public CSaverWnd {
  public:
    ~CFullScreenWnd() override;

    // Makes and shows the window. When `bDirectDraw` is set it first tries
    // the exclusive 640 x 480 mode, and clears `bDirectDraw` when that
    // fails; the window is then served by the stretch presenter.
    bool CreateFullScreen(std::int32_t& bDirectDraw, std::string& error);

    bool OnEvent(const SDL_Event& event) override;
    // Also gives the display its mode back.
    void Destroy() override;

    // Why the exclusive mode was not used; empty when it was or was not tried.
    const std::string& ExclusiveFailure() const { return m_strExclusiveFailure; }

  private:
    CExclusivePresenter m_exclusive;
    CMouseRule m_mouse;
    std::string m_strExclusiveFailure;
};

}  // namespace wendrel::display
