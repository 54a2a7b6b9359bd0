#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "display/raster/changed_area.h"
#include "scene/frame_buffer.h"

namespace wendrel::display {
namespace {

std::int64_t Area(const PixelRect& r) {
    return static_cast<std::int64_t>(r.w) * r.h;
}

TEST(ChangedArea, ALeafThatMovedALittleIsOneRectangle) {
    // Drawn at (100, 100) the tick before, two pixels down and right now.
    const std::vector<FrameRect> rects{{100, 100, 160, 150}, {102, 102, 162, 152}};
    std::vector<PixelRect> out(8);
    ASSERT_EQ(JoinChangedRects(rects, out), 1);
    EXPECT_EQ(out[0].x, 100);
    EXPECT_EQ(out[0].y, 100);
    EXPECT_EQ(out[0].w, 62);
    EXPECT_EQ(out[0].h, 52);
}

TEST(ChangedArea, FarApartOrWastefulStaysApart) {
    // Diagonal neighbours: their union would be mostly unchanged pixels.
    const std::vector<FrameRect> rects{{0, 0, 10, 10}, {10, 10, 20, 20}, {300, 300, 310, 310}};
    std::vector<PixelRect> out(8);
    ASSERT_EQ(JoinChangedRects(rects, out), 3);
}

TEST(ChangedArea, ClipsToTheFrameAndDropsEmptyOnes) {
    const std::vector<FrameRect> rects{
        {-30, -20, 10, 15}, {630, 470, 700, 500}, {5, 5, 5, 9}, {700, 10, 720, 20}};
    std::vector<PixelRect> out(8);
    ASSERT_EQ(JoinChangedRects(rects, out), 2);
    EXPECT_EQ(out[0].x, 0);
    EXPECT_EQ(out[0].y, 0);
    EXPECT_EQ(out[0].w, 10);
    EXPECT_EQ(out[0].h, 15);
    EXPECT_EQ(out[1].x, 630);
    EXPECT_EQ(out[1].y, 470);
    EXPECT_EQ(out[1].w, 10);
    EXPECT_EQ(out[1].h, 10);
    EXPECT_EQ(JoinChangedRects({}, out), 0);
}

TEST(ChangedArea, TooManyForTheRoomSaysSo) {
    std::vector<FrameRect> rects;
    for (int i = 0; i < 5; ++i)
        rects.push_back(FrameRect{i * 100, 0, i * 100 + 10, 10});
    std::vector<PixelRect> out(4);
    EXPECT_EQ(JoinChangedRects(rects, out), -1);
}

// Over many random sets: every pixel of every rectangle is covered, nothing
// lies outside the frame, and joining never paints more than the
// rectangles apart would.
TEST(ChangedArea, CoversEveryChangedPixelAndNoMoreThanTheRectanglesApart) {
    std::mt19937 random(5);
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<FrameRect> rects;
        const int count = static_cast<int>(random() % 50);
        std::int64_t apart = 0;
        std::vector<bool> changed(static_cast<std::size_t>(kFrameWidth * kFrameHeight), false);
        for (int i = 0; i < count; ++i) {
            const int x = static_cast<int>(random() % 700) - 30;
            const int y = static_cast<int>(random() % 540) - 30;
            const FrameRect r{x, y, x + static_cast<int>(random() % 70),
                              y + static_cast<int>(random() % 70)};
            rects.push_back(r);
            for (int py = std::max(r.top, 0); py < std::min(r.bottom, kFrameHeight); ++py) {
                for (int px = std::max(r.left, 0); px < std::min(r.right, kFrameWidth); ++px)
                    changed[static_cast<std::size_t>(py * kFrameWidth + px)] = true;
            }
            apart += static_cast<std::int64_t>(
                         std::max(0, std::min(r.right, kFrameWidth) - std::max(r.left, 0))) *
                     std::max(0, std::min(r.bottom, kFrameHeight) - std::max(r.top, 0));
        }
        std::vector<PixelRect> out(64);
        const int joined = JoinChangedRects(rects, out);
        ASSERT_GE(joined, 0);
        std::int64_t area = 0;
        std::vector<bool> covered(changed.size(), false);
        for (int i = 0; i < joined; ++i) {
            const PixelRect& r = out[static_cast<std::size_t>(i)];
            ASSERT_GT(Area(r), 0);
            ASSERT_GE(r.x, 0);
            ASSERT_GE(r.y, 0);
            ASSERT_LE(r.x + r.w, kFrameWidth);
            ASSERT_LE(r.y + r.h, kFrameHeight);
            area += Area(r);
            for (int py = r.y; py < r.y + r.h; ++py) {
                for (int px = r.x; px < r.x + r.w; ++px)
                    covered[static_cast<std::size_t>(py * kFrameWidth + px)] = true;
            }
        }
        EXPECT_LE(area, apart) << "trial " << trial;
        for (std::size_t p = 0; p < changed.size(); ++p)
            ASSERT_TRUE(!changed[p] || covered[p]) << "trial " << trial << " misses pixel " << p;
    }
}

}  // namespace
}  // namespace wendrel::display
