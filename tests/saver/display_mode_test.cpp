#include "saver/display_mode.h"

#include <gtest/gtest.h>

#include <vector>

namespace wendrel {
namespace {

TEST(DisplayModeRule, Only640x480At24Or32BitsOfPlainRgb) {
    EXPECT_TRUE(IsExclusiveMode({640, 480, 32, true}));
    EXPECT_TRUE(IsExclusiveMode({640, 480, 24, true}));
    EXPECT_FALSE(IsExclusiveMode({640, 480, 32, false}));
    EXPECT_FALSE(IsExclusiveMode({640, 480, 16, true}));
    EXPECT_FALSE(IsExclusiveMode({640, 480, 8, true}));
    EXPECT_FALSE(IsExclusiveMode({800, 600, 32, true}));
    EXPECT_FALSE(IsExclusiveMode({480, 640, 24, true}));
    EXPECT_FALSE(IsExclusiveMode({640, 400, 32, true}));
}

TEST(DisplayModeRule, TheFirstAcceptableInTheListWins) {
    const std::vector<DisplayModeInfo> modes = {
        {800, 600, 32, true}, {640, 480, 16, true}, {640, 480, 32, true}, {640, 480, 24, true}};
    EXPECT_EQ(ChooseExclusiveMode(modes), std::optional<std::size_t>(2));
    const std::vector<DisplayModeInfo> none = {{640, 480, 8, true}, {640, 480, 32, false}};
    EXPECT_EQ(ChooseExclusiveMode(none), std::nullopt);
    EXPECT_EQ(ChooseExclusiveMode({}), std::nullopt);
}

}  // namespace
}  // namespace wendrel
