// The web page's view of the engine: the RGBA frame is the engine's frame,
// the dirty rectangles cover every change, and the mouse rule is the shared one.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "scene/frame_buffer.h"
#include "tests/scene/test_support.h"
#include "web/engine_api.h"

namespace wendrel {
namespace {

const std::uint8_t* Rgba() {
    return wendrel_frame_rgba();
}

// The RGBA frame back in the engine's layout, hashed as the golden tests hash.
std::string FrameHash() {
    std::vector<std::uint8_t> bgr(kFrameBytes);
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            const std::uint8_t* from = Rgba() + (y * kFrameWidth + x) * 4;
            std::uint8_t* to = bgr.data() + (kFrameHeight - 1 - y) * kFrameStride + 3 * x;
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    char text[32];
    std::snprintf(text, sizeof text, "0x%016" PRIx64, testing::Fnv1a(bgr.data(), bgr.size()));
    return text;
}

// A canvas that, like the page's, takes only the dirty rectangles.
void Paint(std::vector<std::uint8_t>& canvas) {
    const std::int32_t count = wendrel_take_dirty();
    if (count < 0) {
        std::memcpy(canvas.data(), Rgba(), canvas.size());
        return;
    }
    const std::int32_t* r = wendrel_dirty_rects();
    for (std::int32_t i = 0; i < count; ++i, r += 4) {
        ASSERT_TRUE(0 <= r[0] && r[0] < r[2] && r[2] <= kFrameWidth && 0 <= r[1] && r[1] < r[3] &&
                    r[3] <= kFrameHeight);
        for (std::int32_t y = r[1]; y < r[3]; ++y) {
            const std::size_t at = (static_cast<std::size_t>(y) * kFrameWidth + r[0]) * 4;
            std::memcpy(canvas.data() + at, Rgba() + at, static_cast<std::size_t>(r[2] - r[0]) * 4);
        }
    }
}

TEST(WebEngine, StartsOnTheOpaqueBackgroundAndRedrawsItWhole) {
    ASSERT_EQ(wendrel_start(4, 0), 1);
    EXPECT_EQ(FrameHash(), "0xedbd654971512051") << "the background, as tick 1 shows it";
    for (std::size_t i = 3; i < kRgbaFrameBytes; i += 4)
        ASSERT_EQ(Rgba()[i], 255);
    EXPECT_EQ(wendrel_take_dirty(), -1);
    EXPECT_EQ(wendrel_take_dirty(), 0);
}

// The same frames as the engine's golden ones, whether ticked one by one
// and drawn from dirty rectangles, or run ahead in one call.
TEST(WebEngine, CanvasFollowsTheGoldenFramesOfSeed4) {
    ASSERT_EQ(wendrel_start(4, 0), 1);
    std::vector<std::uint8_t> canvas(kRgbaFrameBytes);
    for (int tick = 1; tick <= 2000; ++tick) {
        wendrel_tick();
        // Some ticks are drawn together, as after a slow browser frame.
        if (tick % 3 != 1) {
            Paint(canvas);
            ASSERT_EQ(std::memcmp(canvas.data(), Rgba(), canvas.size()), 0)
                << "a change outside the dirty rectangles at tick " << tick;
        }
        if (tick == 739)
            EXPECT_EQ(FrameHash(), "0x5cc27b6f707f600a");
    }
    EXPECT_EQ(FrameHash(), "0x954341b746122981");

    ASSERT_EQ(wendrel_start(4, 0), 1);
    wendrel_run_ticks(739);
    EXPECT_EQ(FrameHash(), "0x5cc27b6f707f600a");
    EXPECT_EQ(wendrel_take_dirty(), -1);
}

TEST(WebEngine, ExclusivePaceGivesItsOwnGoldenFrames) {
    ASSERT_EQ(wendrel_start(7, 1), 1);
    wendrel_run_ticks(77);
    EXPECT_EQ(FrameHash(), "0x4307e6ea02675211");
}

struct Move {
    std::int32_t x, y;
    bool ends;
};

class WebMouseRule : public ::testing::TestWithParam<std::vector<Move>> {};

TEST_P(WebMouseRule, EndsOnlyPastFivePixelsOnBothAxes) {
    ASSERT_EQ(wendrel_start(1, 0), 1);
    for (int run = 0; run < 2; ++run) {
        wendrel_mouse_reset();
        for (const Move& m : GetParam())
            EXPECT_EQ(wendrel_mouse_moved(m.x, m.y), m.ends ? 1 : 0) << m.x << "," << m.y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Moves, WebMouseRule,
    ::testing::Values(std::vector<Move>{{100, 100, false}, {105, 105, false}, {106, 106, true}},
                      std::vector<Move>{{100, 100, false}, {94, 94, true}},
                      std::vector<Move>{{0, 0, false}, {6, 5, false}, {200, 0, false}},
                      std::vector<Move>{{-20, -20, false}, {-14, -26, true}}));

}  // namespace
}  // namespace wendrel
