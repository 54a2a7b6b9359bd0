#include "tests/support/frame_match/frame_match.h"

#include <gtest/gtest.h>

#include "saver/start_seed.h"
#include "scene/animation.h"
#include "scene/frame_buffer.h"
#include "scene/leaf_scene.h"
#include "scene/random.h"
#include "scene/saver_core.h"

namespace wendrel::frame_match {
namespace {

// The frame of `tick` from `seed`, stretched onto a w x h screenshot by
// plain floor rounding (not the sampler's own centre rounding).
Screenshot StretchedFrame(std::uint32_t seed, std::uint64_t tick, int w, int h, bool direct) {
    CSaverCore core;
    core.m_bDirectDraw = direct ? 1 : 0;
    CLeafScene scene;
    scene.LoadBackground();
    ResetAnimationGlobals();
    SeedRandom(seed);
    for (std::uint64_t t = 0; t < tick; ++t)
        AnimationTick(scene, {});
    Screenshot shot{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 3)};
    for (int y = 0; y < h; ++y) {
        const int sy = kFrameHeight - 1 - y * kFrameHeight / h;
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* px = scene.Frame() + sy * kFrameStride + (x * kFrameWidth / w) * 3;
            std::uint8_t* out = &shot.rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            out[0] = px[2];
            out[1] = px[1];
            out[2] = px[0];
        }
    }
    return shot;
}

TEST(FrameMatch, FindsTheSeedAndTickOfAStretchedFrame) {
    const Screenshot shot = StretchedFrame(1002, 400, 1000, 700, false);
    CSampler sampler(shot, {0, 0, shot.width, shot.height}, 20000, 0);
    EXPECT_GT(sampler.Count(), 15000u);
    // Leaves cover part of the picture, so the background alone falls short.
    EXPECT_LT(MatchBackground(sampler), 1.0);

    const MatchResult found = SearchFrames(sampler, 1000, 1004, 600, false, 0.999);
    EXPECT_TRUE(IsMatch(found, 0.999));
    EXPECT_EQ(found.seed, 1002u);
    EXPECT_EQ(found.tick, 400u);
    EXPECT_GT(found.leafSamples, 20u);

    // Another pace or other seeds do not explain the leaves.
    const MatchResult otherPace = SearchFrames(sampler, 1002, 1002, 600, true, 0.999);
    EXPECT_FALSE(IsMatch(otherPace, 0.99));
    EXPECT_LT(otherPace.leafFraction, 0.9);
    EXPECT_FALSE(IsMatch(SearchFrames(sampler, 1005, 1006, 600, false, 0.999), 0.99));
}

// A hack's frame: found from the second it started in and its process id,
// and not from the second alone nor with another id.
TEST(FrameMatch, FindsAHackByItsSecondAndProcessId) {
    const Screenshot shot = StretchedFrame(HackSeed(1001, 4242), 300, 800, 600, false);
    CSampler sampler(shot, {0, 0, shot.width, shot.height}, 10000, 0);
    const MatchResult found = SearchFrames(sampler, 1000, 1002, 400, false, 0.999, 4242u);
    EXPECT_TRUE(IsMatch(found, 0.999));
    EXPECT_EQ(found.seed, HackSeed(1001, 4242));
    EXPECT_EQ(found.tick, 300u);
    EXPECT_FALSE(IsMatch(SearchFrames(sampler, 1000, 1002, 400, false, 0.999), 0.99));
    EXPECT_FALSE(IsMatch(SearchFrames(sampler, 1000, 1002, 400, false, 0.999, 4243u), 0.99));
}

TEST(FrameMatch, ReadsOnlyTheGivenRectangleAndFlipsRows) {
    // A frame placed at an offset inside a larger black screenshot.
    const Screenshot frame = StretchedFrame(7, 300, 320, 240, false);
    Screenshot shot{400, 300, std::vector<std::uint8_t>(400 * 300 * 3, 0)};
    for (int y = 0; y < 240; ++y)
        std::copy_n(&frame.rgb[static_cast<std::size_t>(y) * 320 * 3], 320 * 3,
                    &shot.rgb[(static_cast<std::size_t>(y + 30) * 400 + 50) * 3]);
    CSampler inside(shot, {50, 30, 320, 240}, 5000, 0);
    EXPECT_TRUE(IsMatch(SearchFrames(inside, 7, 7, 300, false, 1.0), 1.0));
    CSampler whole(shot, {0, 0, 400, 300}, 5000, 0);
    EXPECT_LT(SearchFrames(whole, 7, 7, 300, false, 1.0).fraction, 0.9);

    // Upside down, it is not the frame.
    Screenshot flipped = frame;
    for (int y = 0; y < 240; ++y)
        std::copy_n(&frame.rgb[static_cast<std::size_t>(239 - y) * 320 * 3], 320 * 3,
                    &flipped.rgb[static_cast<std::size_t>(y) * 320 * 3]);
    CSampler upsideDown(flipped, {0, 0, 320, 240}, 5000, 0);
    EXPECT_LT(SearchFrames(upsideDown, 7, 7, 300, false, 1.0).fraction, 0.5);
}

// The rows from `row` down of `lower` put under the rows above it of `upper`.
Screenshot Torn(const Screenshot& upper, const Screenshot& lower, int row) {
    Screenshot torn = upper;
    const std::size_t from = static_cast<std::size_t>(row) * upper.width * 3;
    std::copy(lower.rgb.begin() + static_cast<std::ptrdiff_t>(from), lower.rgb.end(),
              torn.rgb.begin() + static_cast<std::ptrdiff_t>(from));
    return torn;
}

struct TornCase {
    std::uint32_t lowerSeed;
    std::uint64_t lowerTick;
    int row;
    bool matches;
};

// The case in the test's name, the same in every build.
void PrintTo(const TornCase& c, std::ostream* out) {
    *out << "seed " << c.lowerSeed << " tick " << c.lowerTick << " row " << c.row
         << (c.matches ? " matches" : " does not match");
}

class FrameMatchTorn : public ::testing::TestWithParam<TornCase> {};

// Tick 400 of seed 1002 above, another frame below: one tear between
// frames of the same run up to 10 ticks apart is found; frames further
// apart, or of another run, are not.
TEST_P(FrameMatchTorn, FindsATearBetweenTwoFramesOfTheRun) {
    const TornCase c = GetParam();
    const Screenshot shot = Torn(StretchedFrame(1002, 400, 1000, 700, false),
                                 StretchedFrame(c.lowerSeed, c.lowerTick, 1000, 700, false), c.row);
    CSampler sampler(shot, {0, 0, shot.width, shot.height}, 20000, 0);
    const MatchResult best = SearchFrames(sampler, 1002, 1002, 440, false, 0.99);
    ASSERT_FALSE(IsMatch(best, 0.99)) << "the tear changes no sample";
    const TornMatch torn = SearchTorn(sampler, 1002, 1002, 440, false, 1.0);
    EXPECT_EQ(IsMatch(torn.match, 0.99), c.matches)
        << torn.match.fraction << " " << torn.match.leafFraction;
    if (c.matches) {
        // Every sample explained; frames a tick or two apart may look alike
        // where the samples fall, so the ticks are those or close to them.
        EXPECT_EQ(torn.match.fraction, 1.0);
        EXPECT_EQ(torn.match.seed, 1002u);
        EXPECT_LE(torn.match.tick, 400u);
        EXPECT_GE(torn.match.tick, 398u);
        EXPECT_LT(torn.lowerTick, torn.match.tick);
        EXPECT_LE(torn.lowerTick, c.lowerTick + 3);
        EXPECT_GE(torn.lowerTick, c.lowerTick);
    }
}

INSTANTIATE_TEST_SUITE_P(Tears, FrameMatchTorn,
                         ::testing::Values(TornCase{1002, 399, 80, true},
                                           TornCase{1002, 393, 100, true},
                                           TornCase{1002, 430, 80, false},
                                           TornCase{1003, 400, 80, false}));

}  // namespace
}  // namespace wendrel::frame_match
