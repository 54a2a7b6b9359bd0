#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "display/raster/stretch_map.h"
#include "scene/frame_buffer.h"

namespace wendrel::display {
namespace {

struct Size {
    int width;
    int height;
};

// Enlarging at awkward ratios, unscaled, and shrinking.
const std::vector<Size> kSizes{{1366, 768}, {1023, 767}, {1920, 1080}, {3840, 2160}, {640, 480},
                               {641, 479},  {320, 240},  {97, 61},     {1, 1}};

// The source of destination pixel d, by the centre of the pixel.
int CentreSource(int d, int destination, int source) {
    const double centre = (d + 0.5) * source / destination;
    return static_cast<int>(centre);
}

TEST(StretchMap, EveryDestinationPixelShowsTheSourcePixelUnderItsCentre) {
    for (const Size& size : kSizes) {
        CStretchMap map;
        map.Resize(size.width, size.height);
        ASSERT_EQ(map.Width(), size.width);
        ASSERT_EQ(map.Height(), size.height);
        for (int x = 0; x < size.width; ++x)
            ASSERT_EQ(map.SourceColumn(x), CentreSource(x, size.width, kFrameWidth))
                << size.width << " column " << x;
        for (int y = 0; y < size.height; ++y)
            ASSERT_EQ(map.SourceRow(y), CentreSource(y, size.height, kFrameHeight))
                << size.height << " row " << y;
    }
}

TEST(StretchMap, UnscaledIsTheIdentity) {
    CStretchMap map;
    map.Resize(kFrameWidth, kFrameHeight);
    for (int x = 0; x < kFrameWidth; ++x)
        ASSERT_EQ(map.SourceColumn(x), x);
    for (int y = 0; y < kFrameHeight; ++y)
        ASSERT_EQ(map.SourceRow(y), y);
    const PixelRect same = map.DestinationOf(PixelRect{16, 32, 48, 64});
    EXPECT_EQ(same.x, 16);
    EXPECT_EQ(same.y, 32);
    EXPECT_EQ(same.w, 48);
    EXPECT_EQ(same.h, 64);
}

// A destination pixel lies in DestinationOf(source) exactly when its source
// pixel lies in `source`: nothing changed is missed, nothing else is drawn.
TEST(StretchMap, DestinationOfHoldsExactlyThePixelsShowingTheSource) {
    std::mt19937 random(7);
    for (const Size& size : kSizes) {
        CStretchMap map;
        map.Resize(size.width, size.height);
        for (int trial = 0; trial < 300; ++trial) {
            const int x = static_cast<int>(random() % kFrameWidth);
            const int y = static_cast<int>(random() % kFrameHeight);
            const int w = 1 + static_cast<int>(random() % static_cast<unsigned>(kFrameWidth - x));
            const int h = 1 + static_cast<int>(random() % static_cast<unsigned>(kFrameHeight - y));
            const PixelRect d = map.DestinationOf(PixelRect{x, y, w, h});
            ASSERT_GE(d.w, 0);
            ASSERT_GE(d.h, 0);
            for (int dx = 0; dx < size.width; ++dx) {
                const int s = CentreSource(dx, size.width, kFrameWidth);
                const bool shows = s >= x && s < x + w;
                const bool inside = d.h > 0 && dx >= d.x && dx < d.x + d.w;
                ASSERT_EQ(inside, shows && d.h > 0) << size.width << "x" << size.height
                                                    << " column " << dx << " of " << x << "+" << w;
            }
            for (int dy = 0; dy < size.height; ++dy) {
                const int s = CentreSource(dy, size.height, kFrameHeight);
                const bool shows = s >= y && s < y + h;
                const bool inside = d.w > 0 && dy >= d.y && dy < d.y + d.h;
                ASSERT_EQ(inside, shows && d.w > 0)
                    << size.width << "x" << size.height << " row " << dy << " of " << y << "+" << h;
            }
        }
    }
}

TEST(StretchMap, ShrinkingMayShowNothingOfASmallRectangle) {
    CStretchMap map;
    map.Resize(64, 48);  // one source pixel in ten
    // Columns 1 ... 4 and rows 1 ... 4 are skipped by the centres 5, 15, ...
    const PixelRect none = map.DestinationOf(PixelRect{1, 1, 4, 4});
    EXPECT_TRUE(none.w == 0 || none.h == 0);
    const PixelRect one = map.DestinationOf(PixelRect{5, 5, 1, 1});
    EXPECT_EQ(one.x, 0);
    EXPECT_EQ(one.y, 0);
    EXPECT_EQ(one.w, 1);
    EXPECT_EQ(one.h, 1);
}

TEST(StretchMap, RectanglesPastTheFrameAreClipped) {
    CStretchMap map;
    map.Resize(1280, 960);
    const PixelRect d = map.DestinationOf(PixelRect{-20, 470, 40, 40});
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.w, 40);
    EXPECT_EQ(d.y, 940);
    EXPECT_EQ(d.h, 20);
}

}  // namespace
}  // namespace wendrel::display
