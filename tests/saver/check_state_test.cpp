#include "saver/check_state.h"

#include <gtest/gtest.h>

namespace wendrel {
namespace {

TEST(CheckBoxRule, OnlyZeroOneAndTwoLoadAsThemselves) {
    EXPECT_EQ(LoadCheckState(0), 0);
    EXPECT_EQ(LoadCheckState(1), 1);
    EXPECT_EQ(LoadCheckState(2), 2);
    EXPECT_EQ(LoadCheckState(7), 0);
    EXPECT_EQ(LoadCheckState(-5), 0);
    EXPECT_EQ(LoadCheckState(3), 0);
}

}  // namespace
}  // namespace wendrel
