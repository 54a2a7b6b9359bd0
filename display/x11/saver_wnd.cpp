#include "display/x11/saver_wnd.h"

namespace wendrel::display {

CSaverWnd::~CSaverWnd() {
    Destroy();
}

bool CSaverWnd::CreateFrom(unsigned long xid, std::string& error) {
    Destroy();
    m_pWindow = SDL_CreateWindowFrom(reinterpret_cast<const void*>(xid));
    if (m_pWindow == nullptr) {
        error = std::string("cannot use window ") + std::to_string(xid) + ": " + SDL_GetError();
        return false;
    }
    m_nForeignWindow = xid;
    if (!m_stretch.Create(m_pWindow, error)) {
        Destroy();
        return false;
    }
    return true;
}

bool CSaverWnd::CreateWindowed(int width, int height, std::string& error) {
    Destroy();
    m_pWindow = SDL_CreateWindow("Wendrel", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                 height, SDL_WINDOW_RESIZABLE);
    if (m_pWindow == nullptr) {
        error = std::string("cannot make a window: ") + SDL_GetError();
        return false;
    }
    if (!m_stretch.Create(m_pWindow, error)) {
        Destroy();
        return false;
    }
    PaintWhite();
    return true;
}

void CSaverWnd::SetAreas(std::span<const SDL_Rect> areas) {
    m_areas.clear();
    std::string error;
    if (areas.empty()) {
        m_stretch.SetArea(std::nullopt);
        return;
    }
    m_stretch.SetArea(areas[0]);
    for (const SDL_Rect& area : areas.subspan(1)) {
        auto presenter = std::make_unique<CStretchPresenter>();
        if (!presenter->Create(m_pWindow, error))
            continue;
        presenter->SetArea(area);
        m_areas.push_back(std::move(presenter));
    }
}

void CSaverWnd::Present(const FrameToShow& frame) {
    m_pPresenter->Present(frame);
    for (const auto& presenter : m_areas)
        presenter->Present(frame);
}

void CSaverWnd::PaintWhite() {
    m_pPresenter->PaintWhite();
    for (const auto& presenter : m_areas)
        presenter->PaintWhite();
}

void CSaverWnd::Invalidate() {
    m_pPresenter->Invalidate();
    for (const auto& presenter : m_areas)
        presenter->Invalidate();
}

bool CSaverWnd::RecreateRenderer(std::string& error) {
    bool made = m_pPresenter->Recreate(error);
    for (const auto& presenter : m_areas)
        made = presenter->Recreate(error) && made;
    return made;
}

bool CSaverWnd::Rewrap(std::string& error) {
    const unsigned long xid = m_nForeignWindow;
    return xid != 0 && CreateFrom(xid, error);
}

bool CSaverWnd::OnEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED && m_nForeignWindow == 0)
                PaintWhite();  // until the next frame covers it
            else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                     event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                Invalidate();
            break;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET: {
            std::string error;
            RecreateRenderer(error);
            m_bDropFrame = true;
            break;
        }
        default:
            break;
    }
    return false;
}

void CSaverWnd::ShowFrame(const FrameToShow& frame) {
    if (m_bDropFrame) {
        m_bDropFrame = false;
        return;
    }
    Present(frame);
}

void CSaverWnd::Destroy() {
    m_areas.clear();
    m_stretch.Destroy();
    // A window that is not ours stays: SDL forgets it without destroying it.
    if (m_pWindow != nullptr)
        SDL_DestroyWindow(m_pWindow);
    m_pWindow = nullptr;
    m_nForeignWindow = 0;
    m_bDropFrame = false;
}

bool CTryOutWnd::OnEvent(const SDL_Event& event) {
    if (event.type == SDL_QUIT ||
        (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) ||
        (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE))
        return true;
    return CSaverWnd::OnEvent(event);
}

}  // namespace wendrel::display
