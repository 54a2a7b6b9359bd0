#include <gtest/gtest.h>

#include "scene/animation.h"
#include "scene/leaf_scene.h"
#include "tests/scene/test_support.h"

namespace wendrel {
namespace {

TEST(AnimationLoop, FirstTickDecidesAndAddsALeaf) {
    for (int direct = 0; direct < 2; ++direct) {
        for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
            testing::FreshSaver saver(seed, direct != 0);
            CLeafScene scene;
            scene.LoadBackground();
            SeedRandom(seed);
            const int up = Rand() % 2;
            SeedRandom(seed);
            AnimationTick(scene, {});
            EXPECT_EQ(targetLeafCount, up ? 11 : 9);
            EXPECT_EQ(spawnTickCounter, 0);
            EXPECT_EQ(scene.LeafCount(), 1u);
        }
    }
}

TEST(AnimationLoop, DecisionsComeEveryPacePlusTwoTicksAndTargetStaysInRange) {
    for (int direct = 0; direct < 2; ++direct) {
        testing::FreshSaver saver(42, direct != 0);
        CLeafScene scene;
        scene.LoadBackground();
        const std::int32_t period = direct ? 34 : 18;
        int lastDecision = 0;
        int sawZero = 0, sawFull = 0;
        for (int tick = 1; tick <= 20000; ++tick) {
            const std::size_t before = scene.LeafCount();
            const std::int32_t target = targetLeafCount;
            AnimationTick(scene, {});
            ASSERT_GE(targetLeafCount, 0);
            ASSERT_LE(targetLeafCount, 25);
            if (spawnTickCounter == 0) {  // a decision was taken this tick
                if (lastDecision != 0) {
                    ASSERT_EQ(tick - lastDecision, period);
                }
                lastDecision = tick;
                ASSERT_EQ(std::abs(targetLeafCount - target) <= 1, true);
            } else {
                ASSERT_EQ(targetLeafCount, target);
                ASSERT_LE(scene.LeafCount(), before);  // leaves come only with a decision
            }
            ASSERT_LE(scene.LeafCount(), std::max<std::size_t>(before + 1, 1));
            sawZero += targetLeafCount == 0;
            sawFull += targetLeafCount == 25;
        }
        EXPECT_GT(sawZero + sawFull, 0) << "the clamp was never reached";
    }
}

TEST(AnimationLoop, NoLeafIsAddedWhenTheSceneHasEnough) {
    testing::FreshSaver saver(8);
    CLeafScene scene;
    scene.LoadBackground();
    for (int i = 0; i < 12; ++i)
        scene.AppendLeaf(std::make_unique<CLeaf>(PathPointArray(100000, {10, 10}), 0));
    for (int tick = 0; tick < 2000; ++tick) {
        targetLeafCount = std::min(targetLeafCount, 10);
        const std::size_t before = scene.LeafCount();
        AnimationTick(scene, {});
        ASSERT_EQ(scene.LeafCount(), before);
    }
    // At zero, nothing is added and the leaves there finish their paths.
    CLeafScene ending;
    ending.LoadBackground();
    ending.AppendLeaf(std::make_unique<CLeaf>(PathPointArray(20, {10, 10}), 0));
    targetLeafCount = 0;
    spawnTickCounter = 0;
    for (int tick = 0; tick < 10; ++tick) {
        targetLeafCount = 0;
        AnimationTick(ending, {});
    }
    EXPECT_EQ(ending.LeafCount(), 0u);
}

// The wind of each tick of a gust from still air: +9 a tick (the gust's 10
// less the decay's 1) up to 163, where the step halves, then 167, 168, 168,
// and back to 0 one pixel a tick, reached on the gust's 189th tick.
std::vector<int> ExpectedGust() {
    std::vector<int> wind;
    for (int w = 10; w <= 163; w += 9)
        wind.push_back(w);
    for (int w : {167, 168, 168})
        wind.push_back(w);
    for (int w = 167; w >= 0; --w)
        wind.push_back(w);
    return wind;
}

TEST(AnimationLoop, GustRisesToPlusOrMinus168AndDiesAway) {
    const std::vector<int> shape = ExpectedGust();
    ASSERT_EQ(shape.size(), 189u);
    testing::FreshSaver saver(11);
    CLeafScene scene;  // not loaded: nothing to draw, only the wind moves
    spawnTickCounter = -100000000;
    std::vector<int> wind, starts;
    for (int tick = 0; tick < 100000; ++tick) {
        const int stepBefore = gustStep;
        AnimationTick(scene, {});
        wind.push_back(windOffset);
        if (std::abs(gustStep) == 10 && std::abs(stepBefore) != 10)
            starts.push_back(tick);
    }
    int positive = 0, negative = 0;
    for (int start : starts) {
        if (start + 189 > static_cast<int>(wind.size()))
            break;
        const int sign = wind[start] > 0 ? 1 : -1;
        (sign > 0 ? positive : negative)++;
        // The last tick may already start the next gust.
        for (int k = 0; k < 188; ++k)
            ASSERT_EQ(wind[start + k], sign * shape[k]) << "gust at " << start << " tick " << k;
        const int last = wind[start + 188];
        ASSERT_TRUE(last == 0 || std::abs(last) == 10) << last;
    }
    EXPECT_GT(positive, 10);
    EXPECT_GT(negative, 10);
}

TEST(AnimationLoop, GustsStartOnlyInStillAir) {
    for (int direct = 0; direct < 2; ++direct) {
        testing::FreshSaver saver(2718, direct != 0);
        CLeafScene scene;
        int gusts = 0;
        spawnTickCounter = -100000000;
        for (int tick = 0; tick < 200000; ++tick) {
            const int windBefore = windOffset;
            const int stepBefore = gustStep;
            AnimationTick(scene, {});
            if (std::abs(gustStep) == 10 && std::abs(stepBefore) != 10) {
                ++gusts;
                ASSERT_LE(std::abs(windBefore), 1) << "gust started in moving air";
            }
            ASSERT_LE(std::abs(windOffset), 168);
        }
        // Roughly one gust per 189 + P ticks.
        EXPECT_GT(gusts, 200000 / (189 + 4 * (direct ? 32 : 16)));
        EXPECT_LT(gusts, 200000 / 189 + 1);
    }
}

TEST(AnimationLoop, PresentHookFollowsThePaceFlag) {
    for (int direct = 0; direct < 2; ++direct) {
        testing::FreshSaver saver(1, direct != 0);
        CLeafScene scene;
        scene.LoadBackground();
        int gdi = 0, dd = 0;
        const PresentHooks hooks{[&](CLeafScene& s) { gdi += &s == &scene; },
                                 [&](CLeafScene& s) { dd += &s == &scene; }};
        for (int i = 0; i < 5; ++i)
            AnimationTick(scene, hooks);
        EXPECT_EQ(gdi, direct ? 0 : 5);
        EXPECT_EQ(dd, direct ? 5 : 0);
    }
}

}  // namespace
}  // namespace wendrel
