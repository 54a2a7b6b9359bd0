#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "display/x11/surface_presenter.h"

namespace wendrel::display {

// IsExclusiveMode of display_mode.h for an SDL mode: plain RGB is no
// palette, no alpha, no packed YUV.
bool IsExclusiveMode(const SDL_DisplayMode& mode);
// The first acceptable mode in the list (ChooseExclusiveMode), in the
// list's order.
std::optional<SDL_DisplayMode> ChooseDisplayMode(std::span<const SDL_DisplayMode> modes);

// The exclusive full-screen presenter: the display switched to 640 x 480,
// each frame copied unscaled, only where it changed, once per tick.
class CExclusivePresenter : public CSurfacePresenter {
  public:
    CExclusivePresenter() : CSurfacePresenter(FrameFit::Unscaled) {}
    ~CExclusivePresenter() { Release(); }
    CExclusivePresenter(const CExclusivePresenter&) = delete;
    CExclusivePresenter& operator=(const CExclusivePresenter&) = delete;

    // Switches `window`'s display to the first acceptable mode, shows the
    // window full-screen in it and makes the renderer. Either all of it
    // succeeds, or everything made is released, the mode restored, and
    // false returned with the failing step in `error`.
    bool Init(SDL_Window* window, std::string& error);
    // Releases the renderer and restores the display mode; safe to call
    // with nothing or only part set up.
    void Release();
    bool IsActive() const { return m_pModeWindow != nullptr; }

  private:
    // The window whose display was switched; null when none is.
    SDL_Window* m_pModeWindow = nullptr;
};

}  // namespace wendrel::display
