#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "display/raster/pixel_rect.h"
#include "display/raster/stretch_map.h"
#include "display/raster/stretch_painter.h"
#include "scene/frame_changes.h"

namespace wendrel::display {

// How the frame is placed on the window.
enum class FrameFit {
    Stretched,  // over the whole window, whatever its size
    Unscaled,   // pixel for pixel, at the top left corner
};

// A frame to show and what the scene says changed in it since the frame
// before it (see CLeafScene::LastChanges), numbered by the scene's compose
// count. Without `changes` all of it may have changed.
struct FrameToShow {
    const std::uint8_t* pixels = nullptr;
    const FrameChanges* changes = nullptr;
    std::uint64_t number = 0;
};

// What the last Present sent.
struct PresentReport {
    bool whole = false;       // the whole frame, stretched anew
    int rectangles = 0;       // window rectangles sent; 0 when nothing changed
    std::int64_t pixels = 0;  // window pixels painted
};

// Puts frames on the window's own surface (SDL's framebuffer: a shared
// memory image on X), first stored row at the bottom, and paints and sends
// the server only the rectangles that changed since the frame shown before.
// The first frame, one after a resize, an expose (Invalidate), a lost
// surface or a frame not shown, and one that changed nearly everywhere are
// painted and sent whole. Made, used and destroyed on the window's thread.
class CSurfacePresenter {
  public:
    explicit CSurfacePresenter(FrameFit fit) : m_fit(fit) {}
    ~CSurfacePresenter();
    CSurfacePresenter(const CSurfacePresenter&) = delete;
    CSurfacePresenter& operator=(const CSurfacePresenter&) = delete;

    bool Create(SDL_Window* window, std::string& error);
    void Destroy();
    // Takes the window's surface anew, after it was reported lost.
    bool Recreate(std::string& error);

    // Draws into `area` of the window (window coordinates) only, as if it
    // were the whole window: one monitor's part of a window that spans
    // several. Without an area, the whole window.
    void SetArea(const std::optional<SDL_Rect>& area) {
        m_area = area;
        m_pSurface = nullptr;  // the map and the staging copy follow
    }

    // The window's pixels are no longer known: the next frame goes whole.
    void Invalidate() { m_bWhole = true; }
    void Present(const FrameToShow& frame);
    // The whole window white, as before the first frame.
    void PaintWhite();

    const PresentReport& LastReport() const { return m_report; }

  private:
    // The window's surface, with the map and painting set up for its size
    // and format; null when there is none.
    SDL_Surface* Target();
    // Paints `destination` (in the area's coordinates).
    void Paint(const std::uint8_t* frame, SDL_Surface* surface, const SDL_Rect& destination);
    // Sends `count` rectangles of the area's coordinates to the server;
    // false when that failed.
    bool Send(SDL_Rect* rects, int count);
    // The window rectangles to paint for `frame` into m_rects; false when
    // the whole frame should go.
    bool FindChangedRects(const FrameToShow& frame, const SDL_Rect& bounds);

    FrameFit m_fit;
    SDL_Window* m_pWindow = nullptr;
    std::optional<SDL_Rect> m_area;
    // Where the area lies on the present surface: the whole surface when
    // there is no area.
    SDL_Rect m_place{0, 0, 0, 0};
    CStretchMap m_map;
    // Two rectangles for every leaf there can be, and some room.
    std::array<PixelRect, 64> m_sources{};
    std::array<SDL_Rect, 64> m_rects{};
    int m_nRects = 0;
    std::uint64_t m_nLastNumber = 0;
    SDL_Surface* m_pSurface = nullptr;
    int m_nSurfaceWidth = 0;
    int m_nSurfaceHeight = 0;
    Uint32 m_nSurfaceFormat = 0;
    std::optional<PixelShifts> m_direct;
    // Formats other than 32-bit ones are painted here first, then blitted.
    SDL_Surface* m_pStaging = nullptr;
    bool m_bWhole = true;
    PresentReport m_report;
};

}  // namespace wendrel::display
