#include <gtest/gtest.h>

#include "display/x11/direct_shifts.h"

namespace wendrel::display {
namespace {

SDL_PixelFormat* Format(Uint32 format) {
    return SDL_AllocFormat(format);
}

TEST(DirectShifts, OnlyFourBytesOfEightBitChannels) {
    struct Case {
        Uint32 format;
        bool direct;
        int red, green, blue;
    };
    const Case cases[] = {
        {SDL_PIXELFORMAT_RGB888, true, 16, 8, 0},   {SDL_PIXELFORMAT_BGR888, true, 0, 8, 16},
        {SDL_PIXELFORMAT_ARGB8888, true, 16, 8, 0}, {SDL_PIXELFORMAT_RGB565, false, 0, 0, 0},
        {SDL_PIXELFORMAT_RGB24, false, 0, 0, 0},    {SDL_PIXELFORMAT_ARGB2101010, false, 0, 0, 0}};
    for (const Case& c : cases) {
        SDL_PixelFormat* format = Format(c.format);
        ASSERT_NE(format, nullptr) << SDL_GetError();
        const auto shifts = DirectShifts(*format);
        EXPECT_EQ(shifts.has_value(), c.direct) << SDL_GetPixelFormatName(c.format);
        if (shifts) {
            EXPECT_EQ(shifts->red, c.red);
            EXPECT_EQ(shifts->green, c.green);
            EXPECT_EQ(shifts->blue, c.blue);
        }
        SDL_FreeFormat(format);
    }
}

}  // namespace
}  // namespace wendrel::display
