#include <gtest/gtest.h>

#include <vector>

#include "display/x11/exclusive_presenter.h"

namespace wendrel::display {
namespace {

SDL_DisplayMode Mode(int w, int h, Uint32 format) {
    SDL_DisplayMode mode{};
    mode.format = format;
    mode.w = w;
    mode.h = h;
    mode.refresh_rate = 60;
    return mode;
}

TEST(ExclusiveMode, NeedsTheFrameSize) {
    EXPECT_TRUE(IsExclusiveMode(Mode(640, 480, SDL_PIXELFORMAT_RGB888)));
    EXPECT_FALSE(IsExclusiveMode(Mode(800, 600, SDL_PIXELFORMAT_RGB888)));
    EXPECT_FALSE(IsExclusiveMode(Mode(640, 400, SDL_PIXELFORMAT_RGB888)));
}

TEST(ExclusiveMode, TakesOnly24And32BitRgb) {
    EXPECT_TRUE(IsExclusiveMode(Mode(640, 480, SDL_PIXELFORMAT_RGB24)));
    EXPECT_TRUE(IsExclusiveMode(Mode(640, 480, SDL_PIXELFORMAT_BGR888)));
    EXPECT_FALSE(IsExclusiveMode(Mode(640, 480, SDL_PIXELFORMAT_INDEX8)));
    EXPECT_FALSE(IsExclusiveMode(Mode(640, 480, SDL_PIXELFORMAT_RGB565)));
    EXPECT_FALSE(IsExclusiveMode(Mode(640, 480, SDL_PIXELFORMAT_YUY2)));
    // Anything besides plain RGB, alpha included, is refused.
    EXPECT_FALSE(IsExclusiveMode(Mode(640, 480, SDL_PIXELFORMAT_ARGB8888)));
}

TEST(ExclusiveMode, NoneWhenOnly8And16Bits) {
    const std::vector<SDL_DisplayMode> modes{Mode(1024, 768, SDL_PIXELFORMAT_RGB888),
                                             Mode(640, 480, SDL_PIXELFORMAT_INDEX8),
                                             Mode(640, 480, SDL_PIXELFORMAT_RGB565)};
    EXPECT_FALSE(ChooseDisplayMode(modes).has_value());
    EXPECT_FALSE(ChooseDisplayMode({}).has_value());
}

TEST(ExclusiveMode, FirstAcceptableInListOrder) {
    SDL_DisplayMode first = Mode(640, 480, SDL_PIXELFORMAT_RGB888);
    first.refresh_rate = 75;
    const std::vector<SDL_DisplayMode> modes{Mode(640, 480, SDL_PIXELFORMAT_RGB565), first,
                                             Mode(640, 480, SDL_PIXELFORMAT_RGB24)};
    const auto chosen = ChooseDisplayMode(modes);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->format, SDL_PIXELFORMAT_RGB888);
    EXPECT_EQ(chosen->refresh_rate, 75);
}

}  // namespace
}  // namespace wendrel::display
