#include "display/x11/full_screen_wnd.h"

namespace wendrel::display {
namespace {

constexpr Uint32 kWindowFlags =
    SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_HIDDEN;
// How long the focus may take to go from one of our windows to another
// (a window manager that gives it to the window under the pointer) before
// its loss counts.
constexpr std::uint64_t kFocusSettleMilliseconds = 250;

}  // namespace

CFullScreenWnd::~CFullScreenWnd() {
    Destroy();
}

bool CFullScreenWnd::CreateFullScreen(std::int32_t& bDirectDraw, std::string& error) {
    Destroy();
    m_mouse.Reset();
    SDL_Rect screen{0, 0, 640, 480};
    SDL_GetDisplayBounds(0, &screen);
    m_pWindow = SDL_CreateWindow("Wendrel", screen.x, screen.y, screen.w, screen.h, kWindowFlags);
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
    // Only now: the mode switch may have moved the other monitors.
    if (!CoverOtherMonitors(bDirectDraw != 0, error)) {
        Destroy();
        return false;
    }
    SDL_ShowCursor(SDL_DISABLE);
    for (const auto& cover : m_covers)
        SDL_RaiseWindow(cover->window);
    SDL_RaiseWindow(m_pWindow);
    // Take the focus, so that losing it later is seen; keys then come to
    // the primary window, whichever monitor the pointer is on.
    SDL_SetWindowInputFocus(m_pWindow);
    PaintWhite();
    for (const auto& cover : m_covers)
        PaintCover(*cover);
    return true;
}

bool CFullScreenWnd::CoverOtherMonitors(bool black, std::string& error) {
    const int count = SDL_GetNumVideoDisplays();
    for (int display = 1; display < count; ++display) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(display, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0)
            continue;
        auto cover = std::make_unique<Cover>();
        cover->black = black;
        cover->window =
            SDL_CreateWindow("Wendrel", bounds.x, bounds.y, bounds.w, bounds.h, kWindowFlags);
        if (cover->window == nullptr) {
            error = std::string("cannot make a window over monitor ") +
                    std::to_string(display + 1) + ": " + SDL_GetError();
            return false;
        }
        SDL_Window* window = cover->window;
        m_covers.push_back(std::move(cover));
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        SDL_ShowWindow(window);
        if (!m_covers.back()->presenter.Create(window, error)) {
            error = "monitor " + std::to_string(display + 1) + ": " + error;
            return false;
        }
    }
    return true;
}

void CFullScreenWnd::PaintCover(Cover& cover) {
    if (!cover.black) {
        cover.presenter.PaintWhite();
        return;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(cover.window);
    if (surface == nullptr)
        return;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_UpdateWindowSurface(cover.window);
}

CFullScreenWnd::Cover* CFullScreenWnd::FindCover(Uint32 windowId) {
    for (const auto& cover : m_covers) {
        if (SDL_GetWindowID(cover->window) == windowId)
            return cover.get();
    }
    return nullptr;
}

bool CFullScreenWnd::IsOurs(SDL_Window* window) const {
    if (window == nullptr)
        return false;
    if (window == m_pWindow)
        return true;
    for (const auto& cover : m_covers) {
        if (cover->window == window)
            return true;
    }
    return false;
}

bool CFullScreenWnd::RootPosition(Uint32 windowId, int x, int y, MousePoint& point) const {
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    if (!IsOurs(window))
        return false;
    int left = 0, top = 0;
    SDL_GetWindowPosition(window, &left, &top);
    point = MousePoint{left + x, top + y};
    return true;
}

bool CFullScreenWnd::OnEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_QUIT:
            return true;
        case SDL_MOUSEMOTION: {
            // One rule for all monitors: positions in root coordinates, so
            // that going from one window to the next is movement like any
            // other.
            MousePoint point{};
            return RootPosition(event.motion.windowID, event.motion.x, event.motion.y, point) &&
                   m_mouse.OnMove(point.x, point.y);
        }
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    return true;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    if (m_nFocusCheckAt == 0)
                        m_nFocusCheckAt = SDL_GetTicks64() + kFocusSettleMilliseconds;
                    return false;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    m_nFocusCheckAt = 0;
                    break;
                default:
                    break;
            }
            if (Cover* cover = FindCover(event.window.windowID)) {
                if (event.window.event == SDL_WINDOWEVENT_EXPOSED)
                    PaintCover(*cover);
                else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                    cover->presenter.Invalidate();
                return false;
            }
            break;
        default:
            break;
    }
    return CSaverWnd::OnEvent(event);
}

bool CFullScreenWnd::OnIdle() {
    if (m_nFocusCheckAt == 0 || SDL_GetTicks64() < m_nFocusCheckAt)
        return false;
    m_nFocusCheckAt = 0;
    // Lost to another program's window, not passed between ours.
    return !IsOurs(SDL_GetKeyboardFocus());
}

void CFullScreenWnd::Present(const FrameToShow& frame) {
    CSaverWnd::Present(frame);
    for (const auto& cover : m_covers) {
        if (!cover->black)
            cover->presenter.Present(frame);
    }
}

void CFullScreenWnd::Invalidate() {
    CSaverWnd::Invalidate();
    for (const auto& cover : m_covers)
        cover->presenter.Invalidate();
}

void CFullScreenWnd::Destroy() {
    // Nothing of ours stays on any monitor, and the mode goes back last.
    for (const auto& cover : m_covers) {
        cover->presenter.Destroy();
        SDL_DestroyWindow(cover->window);
    }
    m_covers.clear();
    m_exclusive.Release();
    m_pPresenter = &m_stretch;
    m_nFocusCheckAt = 0;
    CSaverWnd::Destroy();
}

}  // namespace wendrel::display
