#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wendrel::frame_match {

// A screenshot, 8-bit RGB, rows top to bottom.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

bool ReadPng(const std::string& path, Screenshot& shot, std::string& error);

// The part of the screenshot the frame was stretched onto.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Sampled points of the screenshot with the frame pixels a stretch may
// have taken each from: nearest-neighbour scalers round differently, so a
// point may show any of the 3 x 3 source pixels around its exact position.
class CSampler {
  public:
    CSampler(const Screenshot& shot, const Rect& rect, int maxSamples, int tolerance);
    std::size_t Count() const { return m_samples.size(); }
    // Samples the 640 x 480 bottom-up BGR frame explains, giving up once
    // more than `allowedMisses` fail.
    std::size_t CountMatches(const std::uint8_t* frame, std::size_t allowedMisses) const;
    // Notes which samples the bare background explains; the others show
    // leaves (or something that is not the frame at all).
    void MarkBackground(const std::uint8_t* background);
    std::size_t LeafSampleCount() const;
    std::size_t CountLeafMatches(const std::uint8_t* frame) const;
    // Whether the frame explains each sample, in the samples' order: row by
    // row from the top of the rectangle.
    std::vector<bool> Explained(const std::uint8_t* frame) const;
    int RowOf(std::size_t sample) const { return m_samples[sample].row; }
    bool IsBackground(std::size_t sample) const { return m_samples[sample].background; }

  private:
    struct Sample {
        std::uint8_t r, g, b;
        int sx, sy;  // nearest frame pixel, sy counted from the top
        int row;     // screenshot row
        bool background = false;
    };
    bool Explains(const std::uint8_t* frame, const Sample& s) const;
    std::vector<Sample> m_samples;
    int m_tolerance;
};

struct MatchResult {
    std::uint32_t seed = 0;
    std::uint64_t tick = 0;
    double fraction = 0.0;        // of all samples
    std::size_t leafSamples = 0;  // samples the bare background does not explain
    double leafFraction = 0.0;    // of those, explained by this frame
};

// Runs the animation from each seed for up to `maxTicks` ticks and returns
// the tick whose frame explains most samples; stops at the first that
// explains at least `wanted` of them. Leaves may cover little of a frame,
// so a real match must also explain `wanted` of the samples that the bare
// background does not (see IsMatch). With `hackProcessId` the seeds are
// the seconds a hack of that process id may have started in, and each is
// mixed with the id as the hack does (HackSeed).
MatchResult SearchFrames(CSampler& sampler, std::uint32_t firstSeed, std::uint32_t lastSeed,
                         std::uint64_t maxTicks, bool directDraw, double wanted,
                         std::optional<std::uint32_t> hackProcessId = std::nullopt);

bool IsMatch(const MatchResult& result, double wanted);

// A picture torn between two frames: the rows above one row from one, the
// rest from the other. Wine's X11 driver shows one now and then: it hands a
// window's picture to the X server in bands of rows (Xlib sends at most
// 256 KiB in one request), and a screenshot can fall between the bands of
// one hand-over, whose rows not yet reached still show the frame of the
// one before (some 50 ms, a few ticks, earlier). Through shared memory it
// would be worse: the server reads the picture while the next frames are
// drawn into it, so the end-to-end tests' servers offer none.
struct TornMatch {
    MatchResult match;  // the upper part's frame, and what both explain
    std::uint64_t lowerTick = 0;
    int lowerRow = 0;  // the first screenshot row of the lower part
};

// At most this many ticks apart, as the two monitors' frames may be.
constexpr std::uint64_t kTornTicks = 10;

// Like SearchFrames, for pictures torn between two frames of a run at most
// kTornTicks apart, either above the other, split at the row that explains
// most samples. Call SearchFrames first: it notes the background samples.
TornMatch SearchTorn(const CSampler& sampler, std::uint32_t firstSeed, std::uint32_t lastSeed,
                     std::uint64_t maxTicks, bool directDraw, double wanted,
                     std::optional<std::uint32_t> hackProcessId = std::nullopt);

// The background alone, as a baseline.
double MatchBackground(const CSampler& sampler);

}  // namespace wendrel::frame_match
