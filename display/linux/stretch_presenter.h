#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "display/linux/surface_presenter.h"

namespace wendrel::display {

// The windowed presenter: each frame stretched over the whole window,
// whatever its size, first stored row at the bottom.
class CStretchPresenter {
  public:
    bool Create(SDL_Window* window, std::string& error) { return m_surface.Create(window, error); }
    void Destroy() { m_surface.Destroy(); }
    bool Recreate(std::string& error) { return m_surface.Recreate(error); }

    void Present(const FrameToShow& frame) { m_surface.Present(frame); }
    void PaintWhite() { m_surface.PaintWhite(); }
    void Invalidate() { m_surface.Invalidate(); }
    const PresentReport& LastReport() const { return m_surface.LastReport(); }

  private:
    CSurfacePresenter m_surface{FrameFit::Stretched};
};

}  // namespace wendrel::display
