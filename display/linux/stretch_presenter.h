#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "frame_renderer.h"

namespace wendrel::display {

// The windowed presenter: each frame stretched over the whole window,
// whatever its size, first stored row at the bottom.
class CStretchPresenter {
  public:
    bool Create(SDL_Window* window, std::string& error) { return m_renderer.Create(window, error); }
    void Destroy() { m_renderer.Destroy(); }
    bool Recreate(std::string& error) { return m_renderer.Recreate(error); }

    void Present(const std::uint8_t* frame) { m_renderer.Show(frame, nullptr); }
    void PaintWhite() { m_renderer.ShowWhite(); }

  private:
    CFrameRenderer m_renderer;
};

}  // namespace wendrel::display
