#include "frame_changes.h"

#include <cstring>

namespace wendrel::display {
namespace {

constexpr int kTileBytes = CFrameChanges::kTileSize * 3;
static_assert(kFrameStride == kFrameWidth * 3, "frame rows carry no padding");

bool TileDiffers(const std::uint8_t* a, const std::uint8_t* b) {
    std::uint64_t difference = 0;
    for (int i = 0; i < kTileBytes; i += 8) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a + i, sizeof x);
        std::memcpy(&y, b + i, sizeof y);
        difference |= x ^ y;
    }
    return difference != 0;
}

}  // namespace

CFrameChanges::CFrameChanges() : m_pShown(std::make_unique<std::uint8_t[]>(kFrameBytes)) {}

std::span<const SDL_Rect> CFrameChanges::Compare(const std::uint8_t* frame) {
    if (!m_bKnown) {
        std::memcpy(m_pShown.get(), frame, kFrameBytes);
        m_bKnown = true;
        m_nChangedTiles = kTiles;
        m_rects[0] = SDL_Rect{0, 0, kFrameWidth, kFrameHeight};
        m_nRects = 1;
        return {m_rects.data(), 1};
    }
    m_changed.fill(0);
    for (int row = 0; row < kFrameHeight; ++row) {
        const std::uint8_t* now = frame + row * kFrameStride;
        std::uint8_t* shown = m_pShown.get() + row * kFrameStride;
        if (std::memcmp(now, shown, kFrameStride) == 0)
            continue;
        // The first stored row is the bottom one of the upright picture.
        std::uint8_t* changed = &m_changed[static_cast<std::size_t>((kFrameHeight - 1 - row) /
                                                                    kTileSize * kTileColumns)];
        for (int t = 0; t < kTileColumns; ++t, now += kTileBytes, shown += kTileBytes) {
            if (TileDiffers(now, shown)) {
                changed[t] = 1;
                std::memcpy(shown, now, kTileBytes);
            }
        }
    }
    CollectRectangles();
    return {m_rects.data(), static_cast<std::size_t>(m_nRects)};
}

void CFrameChanges::CollectRectangles() {
    m_nChangedTiles = 0;
    m_nRects = 0;
    // open[t]: the rectangle that reaches down to this band and starts at
    // tile column t, or -1. A run of changed tiles just as wide extends it.
    std::array<int, kTileColumns> open{};
    std::array<int, kTileColumns> next{};
    open.fill(-1);
    for (int band = 0; band < kTileRows; ++band) {
        next.fill(-1);
        const std::uint8_t* changed = &m_changed[static_cast<std::size_t>(band * kTileColumns)];
        for (int t = 0; t < kTileColumns;) {
            if (changed[t] == 0) {
                ++t;
                continue;
            }
            int end = t;
            while (end < kTileColumns && changed[end] != 0)
                ++end;
            m_nChangedTiles += end - t;
            const int width = (end - t) * kTileSize;
            int index = open[static_cast<std::size_t>(t)];
            if (index >= 0 && m_rects[static_cast<std::size_t>(index)].w == width) {
                m_rects[static_cast<std::size_t>(index)].h += kTileSize;
            } else {
                index = m_nRects++;
                m_rects[static_cast<std::size_t>(index)] =
                    SDL_Rect{t * kTileSize, band * kTileSize, width, kTileSize};
            }
            next[static_cast<std::size_t>(t)] = index;
            t = end;
        }
        open = next;
    }
}

}  // namespace wendrel::display
