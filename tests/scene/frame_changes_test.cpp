// Composing only what changed must give the frames that a full copy of the
// background every tick gives, and must report every pixel that changed.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "scene/animation.h"
#include "scene/leaf_scene.h"
#include "tests/scene/test_support.h"

namespace wendrel {
namespace {

constexpr int kTicks = 1500;
// The changes reported are checked against the frame before them this often.
constexpr int kChangeCheckEvery = 20;

// A quick hash of the frame, eight bytes at a time.
std::uint64_t FrameHash(const std::uint8_t* frame) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ull;
    for (std::uint32_t i = 0; i < kFrameBytes; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, frame + i, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 29;
    }
    return hash;
}

// Frame hashes of a run in which every tick starts from a full copy of the
// background, the way the frame was first defined.
std::vector<std::uint64_t> FullCopyRun(std::uint32_t seed, bool direct) {
    testing::FreshSaver saver(seed, direct);
    CLeafScene scene;
    EXPECT_TRUE(scene.LoadBackground());
    std::vector<std::uint64_t> hashes;
    for (int tick = 0; tick < kTicks; ++tick) {
        scene.MutableFrame();  // stale: the next Compose copies everything
        AnimationTick(scene, {});
        EXPECT_TRUE(scene.LastChanges().whole);
        hashes.push_back(FrameHash(scene.Frame()));
    }
    return hashes;
}

// Which pixels the rectangles cover, upright, one byte a pixel.
std::vector<std::uint8_t> Coverage(const std::vector<FrameRect>& rects) {
    std::vector<std::uint8_t> covered(kFrameWidth * kFrameHeight);
    for (const FrameRect& r : rects)
        for (int y = r.top; y < r.bottom; ++y)
            std::memset(covered.data() + y * kFrameWidth + r.left, 1, r.Width());
    return covered;
}

void ExpectSameFramesAndHonestChanges(std::uint32_t seed, bool direct) {
    const std::vector<std::uint64_t> reference = FullCopyRun(seed, direct);
    testing::FreshSaver saver(seed, direct);
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    std::vector<std::uint8_t> previous(kFrameBytes);
    int partial = 0;
    long changedSeen = 0;
    for (int tick = 0; tick < kTicks; ++tick) {
        AnimationTick(scene, {});
        ASSERT_EQ(scene.ComposeCount(), static_cast<std::uint64_t>(tick + 1));
        ASSERT_EQ(FrameHash(scene.Frame()), reference[tick])
            << "seed " << seed << (direct ? " direct" : " gdi") << " tick " << tick + 1;
        const FrameChanges& changes = scene.LastChanges();
        ASSERT_EQ(changes.whole, tick == 0) << tick;
        if (!changes.whole) {
            ++partial;
            for (const FrameRect& r : changes.rects) {
                ASSERT_FALSE(r.Empty());
                ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= kFrameWidth &&
                            r.bottom <= kFrameHeight);
            }
        }
        if (tick % kChangeCheckEvery == 0 && tick > 0) {
            const std::vector<std::uint8_t> covered = Coverage(changes.rects);
            for (int y = 0; y < kFrameHeight; ++y) {
                const int row = (kFrameHeight - 1 - y) * kFrameStride;
                for (int x = 0; x < kFrameWidth; ++x) {
                    const int at = row + 3 * x;
                    if (std::memcmp(scene.Frame() + at, previous.data() + at, 3) != 0) {
                        ++changedSeen;
                        ASSERT_TRUE(covered[y * kFrameWidth + x])
                            << "pixel " << x << "," << y << " changed unreported, tick " << tick;
                    }
                }
            }
        }
        if ((tick + 1) % kChangeCheckEvery == 0)
            std::memcpy(previous.data(), scene.Frame(), kFrameBytes);
    }
    EXPECT_EQ(partial, kTicks - 1);
    EXPECT_GT(changedSeen, 10000) << "the leaves hardly moved: the check saw nothing";
}

TEST(FrameChanges, PartialRestoreMatchesFullCopyAtGdiPace) {
    ExpectSameFramesAndHonestChanges(20261208, false);
}

TEST(FrameChanges, PartialRestoreMatchesFullCopyAtDirectDrawPace) {
    ExpectSameFramesAndHonestChanges(7, true);
}

TEST(FrameChanges, WritingIntoTheFrameForcesAFullRestore) {
    testing::FreshSaver saver(5);
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    for (int tick = 0; tick < 40; ++tick)
        AnimationTick(scene, {});
    ASSERT_GT(scene.LeafCount(), 0u);
    std::memset(scene.MutableFrame(), 0x5A, kFrameBytes);
    AnimationTick(scene, {});
    EXPECT_TRUE(scene.LastChanges().whole);
    // Without a full restore the scribble would survive outside the few
    // places leaves were drawn last time.
    const std::uint8_t* frame = scene.Frame();
    const std::uint8_t* background = scene.Background();
    int kept = 0;
    for (std::uint32_t i = 0; i < kFrameBytes; i += 3)
        kept += std::memcmp(frame + i, background + i, 3) == 0 ? 1 : 0;
    EXPECT_GT(kept, 640 * 480 - 25 * 48 * 48);
    AnimationTick(scene, {});
    EXPECT_FALSE(scene.LastChanges().whole);
}

TEST(FrameChanges, ReloadingForcesAFullRestore) {
    testing::FreshSaver saver(5);
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    for (int tick = 0; tick < 20; ++tick)
        AnimationTick(scene, {});
    ASSERT_TRUE(scene.LoadBackground());
    AnimationTick(scene, {});
    EXPECT_TRUE(scene.LastChanges().whole);
}

TEST(FrameChanges, RectanglesUniteAndIgnoreEmptyOnes) {
    const FrameRect a{10, 20, 30, 40}, b{25, 5, 50, 35}, none{7, 7, 7, 9};
    EXPECT_EQ(a.United(b), (FrameRect{10, 5, 50, 40}));
    EXPECT_EQ(a.United(none), a);
    EXPECT_EQ(none.United(b), b);
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(b.Width(), 25);
    EXPECT_EQ(b.Height(), 30);
}

}  // namespace
}  // namespace wendrel
