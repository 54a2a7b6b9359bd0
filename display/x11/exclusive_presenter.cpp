#include "display/x11/exclusive_presenter.h"

#include <vector>

#include "saver/display_mode.h"
#include "scene/frame_buffer.h"

namespace wendrel::display {

namespace {

DisplayModeInfo ModeInfo(const SDL_DisplayMode& mode) {
    const Uint32 format = mode.format;
    const bool plainRgb = !SDL_ISPIXELFORMAT_FOURCC(format) && !SDL_ISPIXELFORMAT_INDEXED(format) &&
                          !SDL_ISPIXELFORMAT_ALPHA(format);
    return {mode.w, mode.h, plainRgb ? static_cast<std::int32_t>(SDL_BITSPERPIXEL(format)) : 0,
            plainRgb};
}

}  // namespace

bool IsExclusiveMode(const SDL_DisplayMode& mode) {
    return wendrel::IsExclusiveMode(ModeInfo(mode));
}

std::optional<SDL_DisplayMode> ChooseDisplayMode(std::span<const SDL_DisplayMode> modes) {
    std::vector<DisplayModeInfo> infos;
    for (const SDL_DisplayMode& mode : modes)
        infos.push_back(ModeInfo(mode));
    const std::optional<std::size_t> chosen = ChooseExclusiveMode(infos);
    if (!chosen)
        return std::nullopt;
    return modes[*chosen];
}

namespace {

std::vector<SDL_DisplayMode> ListModes(int display) {
    std::vector<SDL_DisplayMode> modes;
    const int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(display, i, &mode) == 0)
            modes.push_back(mode);
    }
    return modes;
}

// Puts `window` full-screen in the first acceptable mode of its display.
bool SwitchMode(SDL_Window* window, std::string& error) {
    int display = SDL_GetWindowDisplayIndex(window);
    display = display < 0 ? 0 : display;
    const std::vector<SDL_DisplayMode> modes = ListModes(display);
    const std::optional<SDL_DisplayMode> mode = ChooseDisplayMode(modes);
    if (!mode) {
        error = "the display offers no 640x480 mode of 24 or 32 bits";
        return false;
    }
    if (SDL_SetWindowDisplayMode(window, &*mode) != 0 ||
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) {
        error = std::string("cannot switch the display mode: ") + SDL_GetError();
        return false;
    }
    // A hidden window switches the mode only when it is shown.
    SDL_ShowWindow(window);
    SDL_DisplayMode current{};
    if (SDL_GetCurrentDisplayMode(display, &current) != 0 || current.w != kFrameWidth ||
        current.h != kFrameHeight) {
        error = "the display did not switch to 640x480";
        return false;
    }
    return true;
}

}  // namespace

bool CExclusivePresenter::Init(SDL_Window* window, std::string& error) {
    Release();
    m_pModeWindow = window;
    if (SwitchMode(window, error) && Create(window, error))
        return true;
    Release();
    return false;
}

void CExclusivePresenter::Release() {
    Destroy();
    if (m_pModeWindow != nullptr)
        SDL_SetWindowFullscreen(m_pModeWindow, 0);  // gives the display its mode back
    m_pModeWindow = nullptr;
}

}  // namespace wendrel::display
