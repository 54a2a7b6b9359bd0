// Pins the frames of fixed seeds, so any change to what the saver shows,
// or a build that rounds differently, is caught.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>

#include "animation.h"
#include "leaf_scene.h"
#include "test_support.h"

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
    ExpectFrames(20261208, false, {{1, 0x0ull}, {50, 0x0ull}, {500, 0x0ull}, {3000, 0x0ull}},
                 0x0ull);
}

TEST(Golden, DirectDrawPaceFramesOfSeed7) {
    ExpectFrames(7, true, {{1, 0x0ull}, {77, 0x0ull}, {1000, 0x0ull}, {4000, 0x0ull}}, 0x0ull);
}

}  // namespace
}  // namespace wendrel
