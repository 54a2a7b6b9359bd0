#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "frame_changes.h"

namespace wendrel::display {
namespace {

constexpr int kTile = CFrameChanges::kTileSize;

std::vector<std::uint8_t> RandomFrame(std::mt19937& random) {
    std::vector<std::uint8_t> frame(kFrameBytes);
    for (std::uint8_t& byte : frame)
        byte = static_cast<std::uint8_t>(random());
    return frame;
}

// Stored row of upright row y.
std::size_t Offset(int x, int y) {
    return static_cast<std::size_t>(kFrameHeight - 1 - y) * kFrameStride +
           static_cast<std::size_t>(x) * 3;
}

// Which upright pixels lie in the rectangles; fails on any overlap.
std::vector<int> Coverage(std::span<const SDL_Rect> rects) {
    std::vector<int> covered(static_cast<std::size_t>(kFrameWidth * kFrameHeight), 0);
    for (const SDL_Rect& r : rects) {
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.x + r.w, kFrameWidth);
        EXPECT_LE(r.y + r.h, kFrameHeight);
        EXPECT_EQ(r.x % kTile, 0);
        EXPECT_EQ(r.y % kTile, 0);
        EXPECT_EQ(r.w % kTile, 0);
        EXPECT_EQ(r.h % kTile, 0);
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x)
                ++covered[static_cast<std::size_t>(y * kFrameWidth + x)];
        }
    }
    for (int c : covered)
        EXPECT_LE(c, 1) << "rectangles overlap";
    return covered;
}

TEST(FrameChanges, FirstFrameAndOneAfterForgetAreWhole) {
    std::mt19937 random(1);
    const auto frame = RandomFrame(random);
    CFrameChanges changes;
    EXPECT_FALSE(changes.IsKnown());
    auto rects = changes.Compare(frame.data());
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].w, kFrameWidth);
    EXPECT_EQ(rects[0].h, kFrameHeight);
    EXPECT_EQ(changes.ChangedTiles(), CFrameChanges::kTiles);
    EXPECT_TRUE(changes.IsKnown());
    EXPECT_TRUE(changes.Compare(frame.data()).empty());
    EXPECT_EQ(changes.ChangedTiles(), 0);
    changes.Forget();
    rects = changes.Compare(frame.data());
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].w * rects[0].h, kFrameWidth * kFrameHeight);
}

TEST(FrameChanges, OneChangedByteMarksItsTileOnly) {
    std::mt19937 random(2);
    auto frame = RandomFrame(random);
    CFrameChanges changes;
    changes.Compare(frame.data());
    // Upright pixel (100, 37), green byte: tile column 6, tile row 2.
    frame[Offset(100, 37) + 1] ^= 1;
    const auto rects = changes.Compare(frame.data());
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].x, 96);
    EXPECT_EQ(rects[0].y, 32);
    EXPECT_EQ(rects[0].w, kTile);
    EXPECT_EQ(rects[0].h, kTile);
    // The change is now the frame shown.
    EXPECT_TRUE(changes.Compare(frame.data()).empty());
}

TEST(FrameChanges, NeighbouringChangesJoinIntoRectangles) {
    std::mt19937 random(3);
    auto frame = RandomFrame(random);
    CFrameChanges changes;
    changes.Compare(frame.data());
    // A 40 x 40 block from (20, 20): tiles 1 ... 3 across and down.
    for (int y = 20; y < 60; ++y) {
        for (int x = 20; x < 60; ++x)
            frame[Offset(x, y)] ^= 0x80;
    }
    const auto rects = changes.Compare(frame.data());
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].x, 16);
    EXPECT_EQ(rects[0].y, 16);
    EXPECT_EQ(rects[0].w, 48);
    EXPECT_EQ(rects[0].h, 48);
    EXPECT_EQ(changes.ChangedTiles(), 9);
}

// Over many random frames: every changed pixel is covered, once, and every
// tile covered holds a change.
TEST(FrameChanges, CoverEveryChangeAndNoUnchangedTile) {
    std::mt19937 random(4);
    auto shown = RandomFrame(random);
    CFrameChanges changes;
    changes.Compare(shown.data());
    for (int trial = 0; trial < 40; ++trial) {
        auto next = shown;
        const int spots = 1 + static_cast<int>(random() % 60);
        for (int s = 0; s < spots; ++s) {
            const int w = 1 + static_cast<int>(random() % 70);
            const int h = 1 + static_cast<int>(random() % 70);
            const int x0 = static_cast<int>(random() % kFrameWidth);
            const int y0 = static_cast<int>(random() % kFrameHeight);
            for (int y = y0; y < std::min(y0 + h, kFrameHeight); ++y) {
                for (int x = x0; x < std::min(x0 + w, kFrameWidth); ++x) {
                    if (random() % 3 == 0)
                        next[Offset(x, y) + random() % 3] ^=
                            static_cast<std::uint8_t>(1 + random() % 255);
                }
            }
        }
        const auto rects = changes.Compare(next.data());
        const std::vector<int> covered = Coverage(rects);
        std::vector<bool> tileChanged(CFrameChanges::kTiles, false);
        for (int y = 0; y < kFrameHeight; ++y) {
            for (int x = 0; x < kFrameWidth; ++x) {
                const std::size_t o = Offset(x, y);
                const bool differs = shown[o] != next[o] || shown[o + 1] != next[o + 1] ||
                                     shown[o + 2] != next[o + 2];
                if (!differs)
                    continue;
                tileChanged[static_cast<std::size_t>(y / kTile * CFrameChanges::kTileColumns +
                                                     x / kTile)] = true;
                ASSERT_EQ(covered[static_cast<std::size_t>(y * kFrameWidth + x)], 1)
                    << "trial " << trial << " misses " << x << "," << y;
            }
        }
        int changedTiles = 0;
        for (int t = 0; t < CFrameChanges::kTiles; ++t) {
            const int x = t % CFrameChanges::kTileColumns * kTile;
            const int y = t / CFrameChanges::kTileColumns * kTile;
            const bool inRects = covered[static_cast<std::size_t>(y * kFrameWidth + x)] == 1;
            ASSERT_EQ(inRects, static_cast<bool>(tileChanged[static_cast<std::size_t>(t)]))
                << "trial " << trial << " tile " << t;
            changedTiles += tileChanged[static_cast<std::size_t>(t)] ? 1 : 0;
        }
        EXPECT_EQ(changes.ChangedTiles(), changedTiles);
        shown = next;
        // Nothing more to report for the same frame.
        ASSERT_TRUE(changes.Compare(shown.data()).empty());
    }
}

}  // namespace
}  // namespace wendrel::display
