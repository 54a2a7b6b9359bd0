#include "frame_renderer.h"

#include <cstring>

#include "frame_buffer.h"

namespace wendrel::display {

void ConvertFrameUpright(const std::uint8_t* frame, std::uint8_t* out, int pitch) {
    for (int row = 0; row < kFrameHeight; ++row) {
        const std::uint8_t* src = frame + (kFrameHeight - 1 - row) * kFrameStride;
        std::uint8_t* dst = out + row * pitch;
        for (int x = 0; x < kFrameWidth; ++x, src += 3, dst += 4) {
            const std::uint32_t pixel =
                std::uint32_t{src[2]} << 16 | std::uint32_t{src[1]} << 8 | std::uint32_t{src[0]};
            std::memcpy(dst, &pixel, sizeof pixel);
        }
    }
}

CFrameRenderer::~CFrameRenderer() {
    Destroy();
}

bool CFrameRenderer::Create(SDL_Window* window, std::string& error) {
    Destroy();
    // Nearest-neighbour stretching, like a plain bitmap stretch.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    m_pWindow = window;
    m_pRenderer = SDL_CreateRenderer(window, -1, 0);
    if (m_pRenderer != nullptr)
        m_pTexture = SDL_CreateTexture(m_pRenderer, SDL_PIXELFORMAT_RGB888,
                                       SDL_TEXTUREACCESS_STREAMING, kFrameWidth, kFrameHeight);
    if (m_pTexture == nullptr) {
        error = std::string("cannot make a renderer: ") + SDL_GetError();
        Destroy();
        return false;
    }
    return true;
}

void CFrameRenderer::Destroy() {
    if (m_pTexture != nullptr)
        SDL_DestroyTexture(m_pTexture);
    if (m_pRenderer != nullptr)
        SDL_DestroyRenderer(m_pRenderer);
    m_pTexture = nullptr;
    m_pRenderer = nullptr;
    m_pWindow = nullptr;
}

bool CFrameRenderer::Recreate(std::string& error) {
    SDL_Window* window = m_pWindow;
    return window != nullptr && Create(window, error);
}

void CFrameRenderer::Show(const std::uint8_t* frame, const SDL_Rect* destination) {
    if (m_pTexture == nullptr)
        return;
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(m_pTexture, nullptr, &pixels, &pitch) != 0)
        return;
    ConvertFrameUpright(frame, static_cast<std::uint8_t*>(pixels), pitch);
    SDL_UnlockTexture(m_pTexture);
    SDL_RenderCopy(m_pRenderer, m_pTexture, nullptr, destination);
    SDL_RenderPresent(m_pRenderer);
}

void CFrameRenderer::ShowWhite() {
    if (m_pRenderer == nullptr)
        return;
    SDL_SetRenderDrawColor(m_pRenderer, 255, 255, 255, 255);
    SDL_RenderClear(m_pRenderer);
    SDL_RenderPresent(m_pRenderer);
}

}  // namespace wendrel::display
