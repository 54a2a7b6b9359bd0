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

TEST(CommandSwitch, PreviewBeforeFullScreenElseTheDialog) {
    for (const char* s : {"s", "S", "/s", "/S", "-s", "-S"})
        EXPECT_EQ(ChooseSaverMode(s), ESaverMode::FullScreen) << s;
    for (const char* p : {"p", "P", "/p", "-P"})
        EXPECT_EQ(ChooseSaverMode(p), ESaverMode::Preview) << p;
    for (const char* other : {"/c", "/c:1234", "/a", "/p:1234", "--s", "//s", "-/s", "ps", "sp",
                              "x", "", "/", "-", "s ", " s", "/pp", "window"})
        EXPECT_EQ(ChooseSaverMode(other), ESaverMode::Config) << '"' << other << '"';
}

}  // namespace
}  // namespace wendrel
