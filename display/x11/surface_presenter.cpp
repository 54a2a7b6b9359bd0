#include "display/x11/surface_presenter.h"

#include "display/raster/changed_area.h"
#include "display/x11/direct_shifts.h"
#include "scene/frame_buffer.h"

namespace wendrel::display {
namespace {

// Past this share of the window changed, one whole stretch costs less than
// the many rectangles.
constexpr std::int64_t kWholePercent = 75;
constexpr PixelShifts kStagingShifts{16, 8, 0};  // SDL_PIXELFORMAT_RGB888

PixelRect ToPixels(const SDL_Rect& r) {
    return PixelRect{r.x, r.y, r.w, r.h};
}

SDL_Rect ToSdl(const PixelRect& r) {
    return SDL_Rect{r.x, r.y, r.w, r.h};
}

}  // namespace

CSurfacePresenter::~CSurfacePresenter() {
    Destroy();
}

bool CSurfacePresenter::Create(SDL_Window* window, std::string& error) {
    Destroy();
    // The plain framebuffer of the video driver, not a texture of a
    // renderer: it is what can be sent in parts.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    m_pWindow = window;
    if (Target() == nullptr) {
        error = std::string("cannot draw on the window: ") + SDL_GetError();
        Destroy();
        return false;
    }
    return true;
}

void CSurfacePresenter::Destroy() {
    if (m_pStaging != nullptr)
        SDL_FreeSurface(m_pStaging);
    m_pStaging = nullptr;
    // The window's surface belongs to the window.
    m_pSurface = nullptr;
    m_nSurfaceWidth = m_nSurfaceHeight = 0;
    m_nSurfaceFormat = 0;
    m_pWindow = nullptr;
    m_area.reset();
    m_place = SDL_Rect{0, 0, 0, 0};
    m_bWhole = true;
    m_report = {};
}

bool CSurfacePresenter::Recreate(std::string& error) {
    SDL_Window* window = m_pWindow;
    const std::optional<SDL_Rect> area = m_area;
    if (window == nullptr || !Create(window, error))
        return false;
    SetArea(area);
    return true;
}

SDL_Surface* CSurfacePresenter::Target() {
    if (m_pWindow == nullptr)
        return nullptr;
    SDL_Surface* surface = SDL_GetWindowSurface(m_pWindow);
    if (surface == nullptr || surface->w <= 0 || surface->h <= 0)
        return nullptr;
    if (surface == m_pSurface && surface->w == m_nSurfaceWidth && surface->h == m_nSurfaceHeight &&
        surface->format->format == m_nSurfaceFormat)
        return m_place.w > 0 && m_place.h > 0 ? surface : nullptr;
    // A new surface: its pixels are not ours yet.
    m_pSurface = surface;
    m_nSurfaceWidth = surface->w;
    m_nSurfaceHeight = surface->h;
    m_nSurfaceFormat = surface->format->format;
    m_bWhole = true;
    const SDL_Rect all{0, 0, surface->w, surface->h};
    m_place = all;
    if (m_area && !SDL_IntersectRect(&*m_area, &all, &m_place)) {
        m_place = SDL_Rect{0, 0, 0, 0};
        return nullptr;  // the area lies outside the window
    }
    if (m_fit == FrameFit::Stretched)
        m_map.Resize(m_place.w, m_place.h);
    else
        m_map.Resize(kFrameWidth, kFrameHeight);
    m_direct = DirectShifts(*surface->format);
    if (m_pStaging != nullptr)
        SDL_FreeSurface(m_pStaging);
    m_pStaging = nullptr;
    if (!m_direct) {
        m_pStaging = SDL_CreateRGBSurfaceWithFormat(0, m_map.Width(), m_map.Height(), 32,
                                                    SDL_PIXELFORMAT_RGB888);
        if (m_pStaging == nullptr) {
            m_pSurface = nullptr;
            return nullptr;
        }
    }
    return surface;
}

void CSurfacePresenter::Paint(const std::uint8_t* frame, SDL_Surface* surface,
                              const SDL_Rect& destination) {
    m_report.pixels += static_cast<std::int64_t>(destination.w) * destination.h;
    if (m_direct) {
        const bool locked = SDL_MUSTLOCK(surface);
        if (locked && SDL_LockSurface(surface) != 0)
            return;
        std::uint8_t* pixels = static_cast<std::uint8_t*>(surface->pixels) +
                               static_cast<std::ptrdiff_t>(m_place.y) * surface->pitch +
                               static_cast<std::ptrdiff_t>(m_place.x) * 4;
        StretchRect(frame, m_map, ToPixels(destination), *m_direct, pixels, surface->pitch);
        if (locked)
            SDL_UnlockSurface(surface);
        return;
    }
    StretchRect(frame, m_map, ToPixels(destination), kStagingShifts,
                static_cast<std::uint8_t*>(m_pStaging->pixels), m_pStaging->pitch);
    SDL_Rect from = destination;
    SDL_Rect to{destination.x + m_place.x, destination.y + m_place.y, destination.w, destination.h};
    SDL_BlitSurface(m_pStaging, &from, surface, &to);
}

bool CSurfacePresenter::Send(SDL_Rect* rects, int count) {
    if (!m_area)
        return SDL_UpdateWindowSurfaceRects(m_pWindow, rects, count) == 0;
    for (int i = 0; i < count; ++i) {
        rects[i].x += m_place.x;
        rects[i].y += m_place.y;
    }
    return SDL_UpdateWindowSurfaceRects(m_pWindow, rects, count) == 0;
}

bool CSurfacePresenter::FindChangedRects(const FrameToShow& frame, const SDL_Rect& bounds) {
    m_nRects = 0;
    if (frame.changes == nullptr || frame.changes->whole)
        return false;
    const int sources = JoinChangedRects(frame.changes->rects, m_sources);
    if (sources < 0)
        return false;
    std::int64_t area = 0;
    for (int i = 0; i < sources; ++i) {
        SDL_Rect destination = ToSdl(m_map.DestinationOf(m_sources[static_cast<std::size_t>(i)]));
        if (!SDL_IntersectRect(&destination, &bounds, &destination))
            continue;
        area += static_cast<std::int64_t>(destination.w) * destination.h;
        m_rects[static_cast<std::size_t>(m_nRects++)] = destination;
    }
    return area * 100 < static_cast<std::int64_t>(bounds.w) * bounds.h * kWholePercent;
}

void CSurfacePresenter::Present(const FrameToShow& frame) {
    m_report = {};
    SDL_Surface* surface = Target();
    // A frame that follows one not shown carries changes against a picture
    // the window never had.
    const bool follows = frame.number == m_nLastNumber + 1;
    m_nLastNumber = frame.number;
    if (surface == nullptr) {
        m_bWhole = true;
        return;
    }
    const SDL_Rect bounds{0, 0, m_place.w, m_place.h};
    if (m_bWhole || !follows || !FindChangedRects(frame, bounds)) {
        SDL_Rect all{0, 0, m_map.Width(), m_map.Height()};
        SDL_IntersectRect(&all, &bounds, &all);
        Paint(frame.pixels, surface, all);
        m_report.whole = true;
        m_report.rectangles = 1;
        m_bWhole = m_area ? !Send(&all, 1) : SDL_UpdateWindowSurface(m_pWindow) != 0;
        return;
    }
    for (int i = 0; i < m_nRects; ++i)
        Paint(frame.pixels, surface, m_rects[static_cast<std::size_t>(i)]);
    m_report.rectangles = m_nRects;
    if (m_nRects > 0 && !Send(m_rects.data(), m_nRects))
        m_bWhole = true;
}

void CSurfacePresenter::PaintWhite() {
    SDL_Surface* surface = Target();
    if (surface == nullptr)
        return;
    SDL_FillRect(surface, m_area ? &m_place : nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
    if (m_area) {
        SDL_Rect area{0, 0, m_place.w, m_place.h};
        Send(&area, 1);
    } else {
        SDL_UpdateWindowSurface(m_pWindow);
    }
    // The next frame must cover the white everywhere.
    m_bWhole = true;
}

}  // namespace wendrel::display
