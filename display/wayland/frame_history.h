#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "display/raster/pixel_rect.h"
#include "scene/frame_changes.h"

namespace wendrel::display::wayland {

// What the last few frames changed, by the scene's compose number. A buffer
// that last held frame n needs only what frames n+1 ... now changed, and a
// surface that last showed frame n declares only that as damage, however
// many frames it skipped meanwhile.
class CFrameHistory {
  public:
    // Frame `number` changed `changes` (null: everything) since frame
    // number - 1.
    void Record(std::uint64_t number, const FrameChanges* changes);

    // The rectangles (upright frame coordinates, joined) that changed after
    // frame `since` up to the last recorded frame, into `out`. False when
    // the whole frame must be taken: `since` is 0 (nothing held) or older
    // than the history, or a frame in between changed everywhere.
    bool ChangedSince(std::uint64_t since, std::vector<PixelRect>& out) const;

    std::uint64_t Last() const { return m_nLast; }

  private:
    struct Entry {
        std::uint64_t number = 0;
        bool whole = true;
        std::vector<FrameRect> rects;
    };
    static constexpr std::size_t kDepth = 8;
    std::array<Entry, kDepth> m_entries{};
    std::uint64_t m_nLast = 0;
    mutable std::vector<FrameRect> m_gathered;
};

}  // namespace wendrel::display::wayland
