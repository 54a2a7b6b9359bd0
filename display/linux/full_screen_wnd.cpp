#include "display/linux/full_screen_wnd.h"

namespace wendrel::display {

CFullScreenWnd::~CFullScreenWnd() {
    Destroy();
}

bool CFullScreenWnd::CreateFullScreen(std::int32_t& bDirectDraw, std::string& error) {
    Destroy();
    m_mouse.Reset();
    SDL_Rect screen{0, 0, 640, 480};
    SDL_GetDisplayBounds(0, &screen);
    m_pWindow =
        SDL_CreateWindow("Wendrel", screen.x, screen.y, screen.w, screen.h,
                         SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_HIDDEN);
    if (m_pWindow == nullptr) {
        error = std::string("cannot make the full-screen window: ") + SDL_GetError();
        return false;
    }
    if (bDirectDraw && m_exclusive.Init(m_pWindow, m_strExclusiveFailure))
        m_pPresenter = &m_exclusive;
    else
        bDirectDraw = 0;
    if (!bDirectDraw) {
        SDL_SetWindowFullscreen(m_pWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
        SDL_ShowWindow(m_pWindow);
        if (!m_stretch.Create(m_pWindow, error)) {
            Destroy();
            return false;
        }
    }
    SDL_ShowCursor(SDL_DISABLE);
    SDL_RaiseWindow(m_pWindow);
    // Take the focus, so that losing it later is seen.
    SDL_SetWindowInputFocus(m_pWindow);
    PaintWhite();
    return true;
}

bool CFullScreenWnd::OnEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_QUIT:
            return true;
        case SDL_MOUSEMOTION:
            return m_mouse.OnMove(event.motion.x, event.motion.y);
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
                event.window.event == SDL_WINDOWEVENT_CLOSE)
                return true;
            break;
        default:
            break;
    }
    return CSaverWnd::OnEvent(event);
}

void CFullScreenWnd::Destroy() {
    m_exclusive.Release();
    m_pPresenter = &m_stretch;
    CSaverWnd::Destroy();
}

}  // namespace wendrel::display
