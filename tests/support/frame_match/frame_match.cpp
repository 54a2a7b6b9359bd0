#include "tests/support/frame_match/frame_match.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>

#include "saver/start_seed.h"
#include "scene/animation.h"
#include "scene/frame_buffer.h"
#include "scene/leaf_scene.h"
#include "scene/random.h"
#include "scene/saver_core.h"

namespace wendrel::frame_match {

bool ReadPng(const std::string& path, Screenshot& shot, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    shot.width = static_cast<int>(image.width);
    shot.height = static_cast<int>(image.height);
    shot.rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, shot.rgb.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

CSampler::CSampler(const Screenshot& shot, const Rect& rect, int maxSamples, int tolerance)
    : m_tolerance(tolerance) {
    // An even grid with about `maxSamples` points over the rectangle.
    const double area = static_cast<double>(rect.width) * rect.height;
    int step = 1;
    while (area / (static_cast<double>(step) * step) > maxSamples)
        ++step;
    for (int dy = step / 2; dy < rect.height; dy += step) {
        for (int dx = step / 2; dx < rect.width; dx += step) {
            const int x = rect.x + dx;
            const int y = rect.y + dy;
            if (x < 0 || y < 0 || x >= shot.width || y >= shot.height)
                continue;
            const std::uint8_t* p = &shot.rgb[(static_cast<std::size_t>(y) * shot.width + x) * 3];
            Sample s{p[0],
                     p[1],
                     p[2],
                     static_cast<int>((static_cast<std::int64_t>(dx) * 2 + 1) * kFrameWidth /
                                      (2 * static_cast<std::int64_t>(rect.width))),
                     static_cast<int>((static_cast<std::int64_t>(dy) * 2 + 1) * kFrameHeight /
                                      (2 * static_cast<std::int64_t>(rect.height))),
                     y};
            m_samples.push_back(s);
        }
    }
}

bool CSampler::Explains(const std::uint8_t* frame, const Sample& s) const {
    for (int oy = -1; oy <= 1; ++oy) {
        const int sy = s.sy + oy;
        if (sy < 0 || sy >= kFrameHeight)
            continue;
        // The first stored row is the bottom one on the screen.
        const std::uint8_t* row = frame + static_cast<std::size_t>(kFrameHeight - 1 - sy) *
                                              static_cast<std::size_t>(kFrameStride);
        for (int ox = -1; ox <= 1; ++ox) {
            const int sx = s.sx + ox;
            if (sx < 0 || sx >= kFrameWidth)
                continue;
            const std::uint8_t* px = row + sx * 3;
            if (std::abs(px[2] - s.r) <= m_tolerance && std::abs(px[1] - s.g) <= m_tolerance &&
                std::abs(px[0] - s.b) <= m_tolerance)
                return true;
        }
    }
    return false;
}

std::size_t CSampler::CountMatches(const std::uint8_t* frame, std::size_t allowedMisses) const {
    std::size_t misses = 0;
    for (const Sample& s : m_samples) {
        if (!Explains(frame, s) && ++misses > allowedMisses)
            break;
    }
    return m_samples.size() - std::min(misses, m_samples.size());
}

void CSampler::MarkBackground(const std::uint8_t* background) {
    for (Sample& s : m_samples)
        s.background = Explains(background, s);
}

std::size_t CSampler::LeafSampleCount() const {
    return static_cast<std::size_t>(std::count_if(m_samples.begin(), m_samples.end(),
                                                  [](const Sample& s) { return !s.background; }));
}

std::size_t CSampler::CountLeafMatches(const std::uint8_t* frame) const {
    return static_cast<std::size_t>(
        std::count_if(m_samples.begin(), m_samples.end(),
                      [&](const Sample& s) { return !s.background && Explains(frame, s); }));
}

std::vector<bool> CSampler::Explained(const std::uint8_t* frame) const {
    std::vector<bool> explained(m_samples.size());
    for (std::size_t i = 0; i < m_samples.size(); ++i)
        explained[i] = Explains(frame, m_samples[i]);
    return explained;
}

namespace {

// Starts the animation as a saver started in `second` would (a hack mixes
// in its process id); returns the seed.
std::uint32_t StartRun(CLeafScene& scene, std::uint32_t second,
                       std::optional<std::uint32_t> hackProcessId) {
    const std::uint32_t seed = hackProcessId ? HackSeed(second, *hackProcessId) : second;
    scene.LoadBackground();
    ResetAnimationGlobals();
    SeedRandom(seed);
    return seed;
}

}  // namespace

bool IsMatch(const MatchResult& result, double wanted) {
    return result.fraction >= wanted && (result.leafSamples == 0 || result.leafFraction >= wanted);
}

MatchResult SearchFrames(CSampler& sampler, std::uint32_t firstSeed, std::uint32_t lastSeed,
                         std::uint64_t maxTicks, bool directDraw, double wanted,
                         std::optional<std::uint32_t> hackProcessId) {
    CSaverCore core;
    {
        CLeafScene plain;
        plain.LoadBackground();
        sampler.MarkBackground(plain.Background());
    }
    const std::size_t leafSamples = sampler.LeafSampleCount();
    core.m_bDirectDraw = directDraw ? 1 : 0;
    MatchResult best;
    const std::size_t count = std::max<std::size_t>(sampler.Count(), 1);
    std::size_t bestMatches = 0;
    for (std::uint32_t second = firstSeed;; ++second) {
        CLeafScene scene;
        const std::uint32_t seed = StartRun(scene, second, hackProcessId);
        for (std::uint64_t tick = 1; tick <= maxTicks; ++tick) {
            AnimationTick(scene, {});
            // Only frames that beat the best so far need a full count.
            const std::size_t matches = sampler.CountMatches(scene.Frame(), count - bestMatches);
            if (matches > bestMatches) {
                bestMatches = matches;
                best = {seed, tick, static_cast<double>(matches) / static_cast<double>(count),
                        leafSamples, 0.0};
                if (leafSamples > 0)
                    best.leafFraction =
                        static_cast<double>(sampler.CountLeafMatches(scene.Frame())) /
                        static_cast<double>(leafSamples);
                if (IsMatch(best, wanted))
                    return best;
            }
        }
        if (second == lastSeed)
            break;
    }
    return best;
}

namespace {

// The best split of the samples between `upper` (those above the split)
// and `lower`; splits fall between rows.
void BestSplit(const CSampler& sampler, const std::vector<bool>& upper,
               const std::vector<bool>& lower, std::size_t& bestMatches, std::size_t& bestLeaf,
               int& bestRow) {
    const std::size_t count = sampler.Count();
    std::size_t matches = 0, leafMatches = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (lower[i]) {
            ++matches;
            leafMatches += sampler.IsBackground(i) ? 0 : 1;
        }
    }
    bestMatches = 0;
    for (std::size_t split = 0;; ++split) {
        if ((split == 0 || split == count || sampler.RowOf(split) != sampler.RowOf(split - 1)) &&
            matches > bestMatches) {
            bestMatches = matches;
            bestLeaf = leafMatches;
            bestRow = split < count ? sampler.RowOf(split) : 0;
        }
        if (split == count)
            break;
        // Sample `split` goes from the lower frame to the upper.
        if (upper[split] != lower[split]) {
            const bool gained = upper[split];
            matches = gained ? matches + 1 : matches - 1;
            if (!sampler.IsBackground(split))
                leafMatches = gained ? leafMatches + 1 : leafMatches - 1;
        }
    }
}

}  // namespace

TornMatch SearchTorn(const CSampler& sampler, std::uint32_t firstSeed, std::uint32_t lastSeed,
                     std::uint64_t maxTicks, bool directDraw, double wanted,
                     std::optional<std::uint32_t> hackProcessId) {
    CSaverCore core;
    core.m_bDirectDraw = directDraw ? 1 : 0;
    const std::size_t count = std::max<std::size_t>(sampler.Count(), 1);
    const std::size_t leafSamples = sampler.LeafSampleCount();
    TornMatch best;
    std::size_t bestMatches = 0;
    for (std::uint32_t second = firstSeed;; ++second) {
        CLeafScene scene;
        const std::uint32_t seed = StartRun(scene, second, hackProcessId);
        // What the last kTornTicks + 1 frames explain, by tick.
        std::vector<std::vector<bool>> recent(kTornTicks + 1);
        for (std::uint64_t tick = 1; tick <= maxTicks; ++tick) {
            AnimationTick(scene, {});
            recent[tick % recent.size()] = sampler.Explained(scene.Frame());
            const std::vector<bool>& now = recent[tick % recent.size()];
            for (std::uint64_t back = 1; back <= kTornTicks && back < tick; ++back) {
                const std::vector<bool>& before = recent[(tick - back) % recent.size()];
                for (const bool nowAbove : {true, false}) {
                    std::size_t matches = 0, leafMatches = 0;
                    int row = 0;
                    BestSplit(sampler, nowAbove ? now : before, nowAbove ? before : now, matches,
                              leafMatches, row);
                    if (matches <= bestMatches)
                        continue;
                    bestMatches = matches;
                    const std::uint64_t other = tick - back;
                    best.match = {
                        seed, nowAbove ? tick : other,
                        static_cast<double>(matches) / static_cast<double>(count), leafSamples,
                        leafSamples > 0
                            ? static_cast<double>(leafMatches) / static_cast<double>(leafSamples)
                            : 0.0};
                    best.lowerTick = nowAbove ? other : tick;
                    best.lowerRow = row;
                    if (IsMatch(best.match, wanted))
                        return best;
                }
            }
        }
        if (second == lastSeed)
            break;
    }
    return best;
}

double MatchBackground(const CSampler& sampler) {
    CSaverCore core;
    CLeafScene scene;
    scene.LoadBackground();
    const std::size_t count = std::max<std::size_t>(sampler.Count(), 1);
    return static_cast<double>(sampler.CountMatches(scene.Background(), count)) /
           static_cast<double>(count);
}

}  // namespace wendrel::frame_match
