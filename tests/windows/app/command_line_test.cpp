// The choice of mode from the first argument, and the preview's parent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/windows/saver_app.h"
#include "tests/windows/app/command_args.h"

namespace wendrel {
namespace {

ESaverMode ModeOf(std::vector<std::string> args) {
    const test::CCommandArgs line(std::move(args));
    return CSaverApp::ChooseMode(line.Count(), line.Values());
}

// The rule itself is the shared one (saver/command_switch.h): here only
// that the first argument after the program's name is the one it reads.
TEST(CommandLine, TheFirstArgumentAfterTheProgramChooses) {
    EXPECT_EQ(ModeOf({"/p", "1234"}), ESaverMode::Preview);
    EXPECT_EQ(ModeOf({"/s", "/p"}), ESaverMode::FullScreen);
    EXPECT_EQ(ModeOf({"/c", "/s"}), ESaverMode::Config);
    EXPECT_EQ(ModeOf({}), ESaverMode::Config);
}

TEST(CommandLine, ParentMustBeTheNumberOfALiveWindow) {
    HWND hLive = CreateWindowExA(0, "STATIC", "parent", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND hDead = CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(hLive, nullptr);
    ASSERT_NE(hDead, nullptr);
    const std::string live = std::to_string(reinterpret_cast<std::uintptr_t>(hLive));
    const std::string dead = std::to_string(reinterpret_cast<std::uintptr_t>(hDead));
    DestroyWindow(hDead);

    EXPECT_EQ(CSaverApp::ParentFromArgument(live.c_str()), hLive);
    EXPECT_EQ(CSaverApp::ParentFromArgument(dead.c_str()), nullptr);
    for (const char* text : {"", "abc", "12x", "-5", "+12", " 12", "0", "0x10"})
        EXPECT_EQ(CSaverApp::ParentFromArgument(text), nullptr) << '"' << text << '"';
    EXPECT_EQ(CSaverApp::ParentFromArgument(nullptr), nullptr);
    EXPECT_EQ(CSaverApp::ParentFromArgument((live + "x").c_str()), nullptr);
    DestroyWindow(hLive);
}

}  // namespace
}  // namespace wendrel
