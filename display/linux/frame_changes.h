#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "frame_buffer.h"

namespace wendrel::display {

// Where a frame differs from the one shown before it: the frame is
// compared with a copy of the last one in tiles of 16 x 16 pixels, and the
// changed tiles come out as rectangles in upright frame coordinates (row 0
// at the top). Every pixel that differs lies in one of them; none overlap.
class CFrameChanges {
  public:
    static constexpr int kTileSize = 16;
    static constexpr int kTileColumns = kFrameWidth / kTileSize;
    static constexpr int kTileRows = kFrameHeight / kTileSize;
    static constexpr int kTiles = kTileColumns * kTileRows;
    static_assert(kTileColumns * kTileSize == kFrameWidth && kTileRows * kTileSize == kFrameHeight);

    CFrameChanges();
    CFrameChanges(const CFrameChanges&) = delete;
    CFrameChanges& operator=(const CFrameChanges&) = delete;

    // Nothing is known to be shown: the next Compare reports the whole frame.
    void Forget() { m_bKnown = false; }
    bool IsKnown() const { return m_bKnown; }

    // Compares `frame` with the last one and takes it as the one shown.
    // The rectangles stay valid until the next call.
    std::span<const SDL_Rect> Compare(const std::uint8_t* frame);
    // How many tiles the last Compare found changed.
    int ChangedTiles() const { return m_nChangedTiles; }

  private:
    void CollectRectangles();

    std::unique_ptr<std::uint8_t[]> m_pShown;
    bool m_bKnown = false;
    int m_nChangedTiles = 0;
    int m_nRects = 0;
    std::array<std::uint8_t, kTiles> m_changed{};
    std::array<SDL_Rect, kTiles> m_rects{};
};

}  // namespace wendrel::display
