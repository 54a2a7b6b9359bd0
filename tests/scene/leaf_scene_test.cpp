#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "scene/frame_buffer.h"
#include "scene/leaf_images.h"
#include "scene/leaf_scene.h"
#include "tests/scene/test_support.h"

namespace wendrel {
namespace {

std::unique_ptr<CLeaf> StillLeaf(PathPoint p, std::size_t length, int slot) {
    return std::make_unique<CLeaf>(PathPointArray(length, p), slot);
}

TEST(LeafScene, EmptySceneComposesTheBackground) {
    testing::FreshSaver saver;
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    std::memset(scene.MutableFrame(), 0xAB, kFrameBytes);
    scene.Compose(0);
    EXPECT_EQ(std::memcmp(scene.Frame(), scene.Background(), kFrameBytes), 0);
    scene.Compose(150);
    EXPECT_EQ(std::memcmp(scene.Frame(), scene.Background(), kFrameBytes), 0);
}

TEST(LeafScene, NewerLeavesLieOnTop) {
    testing::FreshSaver saver;
    CLeafScene alone, both;
    ASSERT_TRUE(alone.LoadBackground());
    ASSERT_TRUE(both.LoadBackground());
    alone.AppendLeaf(StillLeaf({320, 240}, 30, 5));
    both.AppendLeaf(StillLeaf({320, 240}, 30, 2));
    both.AppendLeaf(StillLeaf({320, 240}, 30, 5));
    SeedRandom(3);
    alone.Compose(0);
    SeedRandom(3);
    both.Compose(0);
    // Wherever the newer leaf drew on its own, it covers the older one.
    int covered = 0;
    for (std::uint32_t i = 0; i < kFrameBytes; i += 3) {
        if (std::memcmp(alone.Frame() + i, alone.Background() + i, 3) != 0) {
            ASSERT_EQ(std::memcmp(both.Frame() + i, alone.Frame() + i, 3), 0) << i;
            ++covered;
        }
    }
    EXPECT_GT(covered, 300);
}

TEST(LeafScene, LeafEndingInTheMiddleIsDrawnOnceMoreThenDropped) {
    testing::FreshSaver saver;
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    scene.AppendLeaf(StillLeaf({100, 100}, 30, 0));
    scene.AppendLeaf(StillLeaf({320, 240}, 2, 1));  // ends on its first call
    scene.AppendLeaf(StillLeaf({540, 380}, 30, 2));
    const CLeaf* first = &scene.LeafAt(0);
    const CLeaf* third = &scene.LeafAt(2);
    scene.Compose(0);
    ASSERT_EQ(scene.LeafCount(), 2u);
    EXPECT_EQ(&scene.LeafAt(0), first);
    EXPECT_EQ(&scene.LeafAt(1), third);
    EXPECT_EQ(first->pathIndex, 2);
    EXPECT_EQ(third->pathIndex, 2);
    // All three are in the frame: each leaf's centre changed.
    const int rows[] = {480 + 1 - 100, 480 + 1 - 240, 480 + 1 - 380};
    const int cols[] = {100, 320, 540};
    for (int k = 0; k < 3; ++k) {
        int changed = 0;
        for (int dr = -10; dr <= 10; ++dr)
            for (int dc = -10; dc <= 10; ++dc)
                changed +=
                    std::memcmp(testing::PixelAt(scene.Frame(), rows[k] + dr, cols[k] + dc),
                                testing::PixelAt(scene.Background(), rows[k] + dr, cols[k] + dc),
                                3) != 0;
        EXPECT_GT(changed, 60) << "leaf " << k;
    }
}

TEST(LeafScene, DestroyingReleasesLeavesAndAnUnloadedSceneIsHarmless) {
    testing::FreshSaver saver;
    {
        CLeafScene never;
        never.Compose(0);
        EXPECT_FALSE(never.IsLoaded());
        EXPECT_EQ(never.FrameHeader().biSize, 0u);
    }
    {
        CLeafScene scene;
        scene.LoadBackground();
        scene.AppendLeaf(StillLeaf({1, 1}, 30, 0));
        scene.AppendLeaf(StillLeaf({2, 2}, 30, 0));
        EXPECT_EQ(LeafImageRefCount(), 2);
    }
    EXPECT_EQ(LeafImageRefCount(), 0);
}

}  // namespace
}  // namespace wendrel
