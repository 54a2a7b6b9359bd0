#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

namespace wendrel::display {

// Writes the 640 x 480 bottom-up blue-green-red frame upright, top row
// first, as 32-bit 0x00RRGGBB pixels (SDL_PIXELFORMAT_RGB888) into rows
// of `pitch` bytes.
void ConvertFrameUpright(const std::uint8_t* frame, std::uint8_t* out, int pitch);

// One window's SDL renderer and the streaming 640 x 480 texture that each
// frame is uploaded into. Made, used and destroyed on the window's thread.
class CFrameRenderer {
  public:
    CFrameRenderer() = default;
    ~CFrameRenderer();
    CFrameRenderer(const CFrameRenderer&) = delete;
    CFrameRenderer& operator=(const CFrameRenderer&) = delete;

    bool Create(SDL_Window* window, std::string& error);
    void Destroy();
    // Makes renderer and texture anew for the same window, after SDL
    // reported them lost.
    bool Recreate(std::string& error);

    // One upload of `frame` into the texture, then one copy of it onto
    // `destination` (null: the whole output, stretched) and a present.
    void Show(const std::uint8_t* frame, const SDL_Rect* destination);
    // The whole output white, as before the first frame.
    void ShowWhite();

  private:
    SDL_Window* m_pWindow = nullptr;
    SDL_Renderer* m_pRenderer = nullptr;
    SDL_Texture* m_pTexture = nullptr;
};

}  // namespace wendrel::display
