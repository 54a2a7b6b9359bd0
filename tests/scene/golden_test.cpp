// Pins the frames of fixed seeds, so any change to what the saver shows,
// or a build that rounds differently, is caught.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>

#include "scene/animation.h"
#include "scene/leaf_scene.h"
#include "tests/scene/test_support.h"

namespace wendrel {
namespace {

struct Golden {
    int tick;
    std::uint64_t frameHash;
};

std::string Describe(std::uint64_t hash) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%016" PRIx64, hash);
    return text;
}

void ExpectFrames(std::uint32_t seed, bool direct, const std::vector<Golden>& golden,
                  std::uint64_t expectedTraceHash) {
    testing::FreshSaver saver(seed, direct);
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    std::uint64_t trace = 14695981039346656037ull;
    std::size_t next = 0;
    for (int tick = 1; next < golden.size(); ++tick) {
        AnimationTick(scene, {});
        const std::int32_t state[] = {static_cast<std::int32_t>(scene.LeafCount()),
                                      targetLeafCount,
                                      windOffset,
                                      gustStep,
                                      gustActive,
                                      spawnTickCounter};
        for (std::int32_t v : state) {
            trace ^= static_cast<std::uint32_t>(v);
            trace *= 1099511628211ull;
        }
        if (tick == golden[next].tick) {
            const std::uint64_t hash = testing::Fnv1a(scene.Frame(), kFrameBytes);
            EXPECT_EQ(Describe(hash), Describe(golden[next].frameHash))
                << "seed " << seed << (direct ? " direct" : " gdi") << " tick " << tick;
            ++next;
        }
    }
    EXPECT_EQ(Describe(trace), Describe(expectedTraceHash)) << "loop state differs";
}

TEST(Golden, GdiPaceFramesOfSeed20261208) {
    ExpectFrames(20261208, false,
                 {{1, 0xedbd654971512051ull},
                  {150, 0x456376e6e964ffb0ull},
                  {500, 0xc761c568efa2ad4eull},
                  {3000, 0x92ae320b05b589daull}},
                 0x9e87703574266221ull);
}

// The frames the web page's test expects of its canvas, and the README's.
TEST(Golden, GdiPaceFramesOfSeed4) {
    ExpectFrames(4, false, {{739, 0x5cc27b6f707f600aull}, {2000, 0x954341b746122981ull}},
                 0x89aaaf5a85bf78d2ull);
}

TEST(Golden, DirectDrawPaceFramesOfSeed7) {
    ExpectFrames(7, true,
                 {{1, 0xedbd654971512051ull},
                  {77, 0x4307e6ea02675211ull},
                  {1000, 0x712918eb088408e7ull},
                  {4000, 0x12716bc8192ae69eull}},
                 0xcee7b1f6229515bbull);
}

}  // namespace
}  // namespace wendrel
