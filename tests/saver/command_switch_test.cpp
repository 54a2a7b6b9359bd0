#include "saver/command_switch.h"

#include <gtest/gtest.h>

namespace wendrel {
namespace {

TEST(CommandSwitch, DropsOneMarkAndIgnoresCase) {
    EXPECT_TRUE(IsSwitch("/S", "s"));
    EXPECT_TRUE(IsSwitch("-p", "P"));
    EXPECT_TRUE(IsSwitch("s", "s"));
    EXPECT_TRUE(IsSwitch("-WINDOW", "window"));
    EXPECT_FALSE(IsSwitch("--s", "s"));
    EXPECT_FALSE(IsSwitch("/-s", "s"));
    EXPECT_FALSE(IsSwitch("", "s"));
    EXPECT_FALSE(IsSwitch("/", "s"));
    EXPECT_FALSE(IsSwitch("/p:1", "p"));
    EXPECT_FALSE(IsSwitch("s ", "s"));
    EXPECT_FALSE(IsSwitch("ps", "p"));
}

}  // namespace
}  // namespace wendrel
