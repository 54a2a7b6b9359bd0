// When the release of DirectDraw finds the display away from its saved mode.
#include <gtest/gtest.h>

#include "display/windows/saved_modes.h"

namespace wendrel::display {
namespace {

DEVMODEA Mode(DWORD width, DWORD height, DWORD bits) {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bits;
    return mode;
}

struct ModePair {
    DEVMODEA current;
    bool same;
};

class SavedModesTest : public ::testing::TestWithParam<ModePair> {};

TEST_P(SavedModesTest, OnlySizeAndDepthCount) {
    const DEVMODEA saved = Mode(1024, 768, 32);
    EXPECT_EQ(SameDisplayMode(GetParam().current, saved), GetParam().same);
    EXPECT_EQ(SameDisplayMode(saved, GetParam().current), GetParam().same);
}

DEVMODEA OtherRate() {
    DEVMODEA mode = Mode(1024, 768, 32);
    mode.dmDisplayFrequency = 75;
    mode.dmFields = DM_DISPLAYFREQUENCY;
    return mode;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SavedModesTest,
    ::testing::Values(ModePair{Mode(1024, 768, 32), true}, ModePair{OtherRate(), true},
                      ModePair{Mode(640, 480, 32), false}, ModePair{Mode(1024, 480, 32), false},
                      ModePair{Mode(640, 768, 32), false}, ModePair{Mode(1024, 768, 24), false}));

}  // namespace
}  // namespace wendrel::display
