#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "display/x11/exclusive_presenter.h"
#include "display/x11/saver_wnd.h"
#include "saver/mouse_rule.h"

namespace wendrel::display {

// The saver proper: a borderless window over the whole primary monitor
// (SDL's first display: XRandR's primary output, else the first), and one
// over each other monitor, cursor hidden. It asks to close on a key press,
// a button press, a large enough mouse movement or the loss of the focus
// to another program, on any of them.
class CFullScreenWnd : public CSaverWnd {
  public:
    ~CFullScreenWnd() override;

    // Makes and shows the windows. When `bDirectDraw` is set it first tries
    // the exclusive 640 x 480 mode on the primary monitor, and clears
    // `bDirectDraw` when that fails; the windows are then served by the
    // stretch presenter. In the exclusive mode the other monitors are
    // covered in black.
    bool CreateFullScreen(std::int32_t& bDirectDraw, std::string& error);

    bool OnEvent(const SDL_Event& event) override;
    bool OnIdle() override;
    // Also gives the display its mode back.
    void Destroy() override;
    void Invalidate() override;

    // Why the exclusive mode was not used; empty when it was or was not tried.
    const std::string& ExclusiveFailure() const { return m_strExclusiveFailure; }

  protected:
    void Present(const FrameToShow& frame) override;

  private:
    // A window over one monitor besides the primary.
    struct Cover {
        SDL_Window* window = nullptr;
        CStretchPresenter presenter;
        bool black = false;  // covered in black, not shown the frame
    };

    bool CoverOtherMonitors(bool black, std::string& error);
    static void PaintCover(Cover& cover);
    Cover* FindCover(Uint32 windowId);
    bool IsOurs(SDL_Window* window) const;
    // The event's pointer position in root coordinates.
    bool RootPosition(Uint32 windowId, int x, int y, MousePoint& point) const;

    CExclusivePresenter m_exclusive;
    std::vector<std::unique_ptr<Cover>> m_covers;
    CMouseRule m_mouse;
    // When one of our windows lost the focus: the time to look whether
    // another of ours has it by then; 0 when nothing is to be looked at.
    std::uint64_t m_nFocusCheckAt = 0;
    std::string m_strExclusiveFailure;
};

}  // namespace wendrel::display
