#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "display/raster/changed_area.h"
#include "display/raster/stretch_map.h"
#include "display/raster/stretch_painter.h"
#include "scene/frame_buffer.h"

namespace wendrel::display {
namespace {

constexpr PixelShifts kRgb{16, 8, 0};

std::vector<std::uint8_t> RandomFrame(std::mt19937& random) {
    std::vector<std::uint8_t> frame(kFrameBytes);
    for (std::uint8_t& byte : frame)
        byte = static_cast<std::uint8_t>(random());
    return frame;
}

// A plain nearest-neighbour stretch, written out pixel by pixel.
std::uint32_t Expected(const std::vector<std::uint8_t>& frame, int x, int y, int width,
                       int height) {
    const auto sx = static_cast<int>((2LL * x + 1) * kFrameWidth / (2LL * width));
    const auto sy = static_cast<int>((2LL * y + 1) * kFrameHeight / (2LL * height));
    const std::uint8_t* p = frame.data() + (kFrameHeight - 1 - sy) * kFrameStride + sx * 3;
    return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

struct Canvas {
    int width;
    int height;
    int pitch;
    std::vector<std::uint8_t> pixels;
    Canvas(int w, int h)
        : width(w),
          height(h),
          pitch(w * 4 + 12),
          pixels(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(h), 0xcd) {}
    std::uint32_t At(int x, int y) const {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, pixels.data() + y * pitch + x * 4, sizeof pixel);
        return pixel;
    }
};

::testing::AssertionResult ShowsWholeStretch(const Canvas& canvas,
                                             const std::vector<std::uint8_t>& frame) {
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const std::uint32_t want = Expected(frame, x, y, canvas.width, canvas.height);
            if (canvas.At(x, y) != want)
                return ::testing::AssertionFailure()
                       << canvas.width << "x" << canvas.height << " pixel " << x << "," << y
                       << " is " << std::hex << canvas.At(x, y) << ", not " << want;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(StretchPainter, WholeStretchMatchesThePlainOneAndLeavesRowPaddingAlone) {
    std::mt19937 random(11);
    const auto frame = RandomFrame(random);
    for (const auto& [w, h] : {std::pair{1023, 767}, std::pair{640, 480}, std::pair{333, 222}}) {
        CStretchMap map;
        map.Resize(w, h);
        Canvas canvas(w, h);
        StretchRect(frame.data(), map, PixelRect{0, 0, w, h}, kRgb, canvas.pixels.data(),
                    canvas.pitch);
        EXPECT_TRUE(ShowsWholeStretch(canvas, frame));
        EXPECT_EQ(canvas.pixels[static_cast<std::size_t>(w * 4)], 0xcd);
    }
}

TEST(StretchPainter, FirstStoredRowAtTheBottomInTheChannelOrderAsked) {
    std::vector<std::uint8_t> frame(kFrameBytes, 0);
    frame[0] = 1;  // stored row 0, column 0: blue 1, green 2, red 3
    frame[1] = 2;
    frame[2] = 3;
    CStretchMap map;
    map.Resize(kFrameWidth, kFrameHeight);
    Canvas canvas(kFrameWidth, kFrameHeight);
    StretchRect(frame.data(), map, PixelRect{0, 0, kFrameWidth, kFrameHeight},
                PixelShifts{0, 8, 16}, canvas.pixels.data(), canvas.pitch);
    EXPECT_EQ(canvas.At(0, kFrameHeight - 1), 0x010203u);
    EXPECT_EQ(canvas.At(0, 0), 0u);
}

// Only the rectangles that changed, joined and mapped through the stretch,
// are painted frame after frame: the canvas ends as a whole stretch of the
// last frame.
TEST(StretchPainter, ChangedRectanglesAddUpToTheWholeStretch) {
    std::mt19937 random(12);
    for (const auto& [w, h] : {std::pair{1366, 768}, std::pair{1023, 767}, std::pair{1920, 1080},
                               std::pair{3840, 2160}, std::pair{301, 199}}) {
        auto frame = RandomFrame(random);
        CStretchMap map;
        map.Resize(w, h);
        Canvas canvas(w, h);
        StretchRect(frame.data(), map, PixelRect{0, 0, w, h}, kRgb, canvas.pixels.data(),
                    canvas.pitch);
        std::int64_t painted = 0;
        for (int step = 0; step < 8; ++step) {
            // Leaf-sized blocks of new pixels here and there, some past the
            // edges, some overlapping.
            std::vector<FrameRect> changed;
            for (int spot = 0; spot < 12; ++spot) {
                const int x0 = static_cast<int>(random() % (kFrameWidth + 40)) - 40;
                const int y0 = static_cast<int>(random() % (kFrameHeight + 40)) - 40;
                const int x1 = x0 + 1 + static_cast<int>(random() % 70);
                const int y1 = y0 + 1 + static_cast<int>(random() % 70);
                changed.push_back(FrameRect{x0, y0, x1, y1});
                for (int y = std::max(y0, 0); y < std::min(y1, kFrameHeight); ++y) {
                    std::uint8_t* row = frame.data() + (kFrameHeight - 1 - y) * kFrameStride;
                    for (int x = std::max(x0, 0) * 3; x < std::min(x1, kFrameWidth) * 3; ++x)
                        row[x] = static_cast<std::uint8_t>(random());
                }
            }
            std::vector<PixelRect> joined(64);
            const int count = JoinChangedRects(changed, joined);
            ASSERT_GE(count, 1);
            for (int i = 0; i < count; ++i) {
                const PixelRect d = map.DestinationOf(joined[static_cast<std::size_t>(i)]);
                painted += static_cast<std::int64_t>(d.w) * d.h;
                StretchRect(frame.data(), map, d, kRgb, canvas.pixels.data(), canvas.pitch);
            }
        }
        EXPECT_TRUE(ShowsWholeStretch(canvas, frame));
        EXPECT_LT(painted, 8LL * w * h / 2) << "partial painting painted nearly everything";
    }
}

}  // namespace
}  // namespace wendrel::display
