#include "display/wayland/frame_history.h"

#include "display/raster/changed_area.h"

namespace wendrel::display::wayland {
namespace {

// Two rectangles for every leaf there can be, for a few frames, and room.
constexpr std::size_t kMostRects = 256;

}  // namespace

void CFrameHistory::Record(std::uint64_t number, const FrameChanges* changes) {
    Entry& entry = m_entries[number % kDepth];
    entry.number = number;
    entry.whole = changes == nullptr || changes->whole || number != m_nLast + 1;
    entry.rects.clear();
    if (!entry.whole)
        entry.rects = changes->rects;
    m_nLast = number;
}

bool CFrameHistory::ChangedSince(std::uint64_t since, std::vector<PixelRect>& out) const {
    out.clear();
    if (since == 0 || since > m_nLast || m_nLast - since >= kDepth)
        return false;
    m_gathered.clear();
    for (std::uint64_t n = since + 1; n <= m_nLast; ++n) {
        const Entry& entry = m_entries[n % kDepth];
        if (entry.number != n || entry.whole)
            return false;
        m_gathered.insert(m_gathered.end(), entry.rects.begin(), entry.rects.end());
    }
    out.resize(kMostRects);
    const int count = JoinChangedRects(m_gathered, out);
    if (count < 0)
        return false;
    out.resize(static_cast<std::size_t>(count));
    return true;
}

}  // namespace wendrel::display::wayland
