#include <gtest/gtest.h>

#include "app/linux/command_line.h"
#include "saver/start_seed.h"

namespace wendrel::linux_app {
namespace {

std::optional<LaunchRequest> Parse(std::vector<std::string> args, const char* env = nullptr) {
    std::string error;
    auto request = ParseCommandLine(args, env, error);
    if (!request) {
        EXPECT_FALSE(error.empty());
    }
    return request;
}

SaverMode ModeOf(std::vector<std::string> args, const char* env = nullptr) {
    const auto request = Parse(std::move(args), env);
    EXPECT_TRUE(request);
    return request ? request->mode : SaverMode::Config;
}

// The saver's own switches are the shared rule (saver/command_switch.h);
// here what this front end adds: the preview's window id, "window", and
// that the first argument alone decides.
TEST(CommandLine, FirstArgumentChoosesTheMode) {
    const auto preview = Parse({"-P", "1234"});
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->mode, SaverMode::Preview);
    EXPECT_EQ(preview->windowId, 1234u);
    EXPECT_EQ(ModeOf({"/S"}), SaverMode::FullScreen);
    EXPECT_EQ(ModeOf({"/c"}), SaverMode::Config);
    EXPECT_EQ(ModeOf({}), SaverMode::Config);
    EXPECT_EQ(ModeOf({"window"}), SaverMode::Window);
    EXPECT_EQ(ModeOf({"-Window"}), SaverMode::Window);
    EXPECT_EQ(ModeOf({"--window"}), SaverMode::Config);
    // "p" is tested before anything else, whatever follows.
    EXPECT_EQ(ModeOf({"p", "0x1a", "--root"}), SaverMode::Preview);
    EXPECT_EQ(Parse({"p", "0x1A"})->windowId, 26u);
    EXPECT_EQ(ModeOf({"s", "--root"}), SaverMode::FullScreen);
}

TEST(CommandLine, HelpAndVersionOnlyAsTheFirstArgument) {
    EXPECT_EQ(ModeOf({"--help"}), SaverMode::Help);
    EXPECT_EQ(ModeOf({"-h"}), SaverMode::Help);
    EXPECT_EQ(ModeOf({"--version", "--root"}), SaverMode::Version);
    EXPECT_EQ(ModeOf({"--help"}, "0x2c00003"), SaverMode::Help);
    // Spelt otherwise they are what they were: the dialog.
    EXPECT_EQ(ModeOf({"/h"}), SaverMode::Config);
    EXPECT_EQ(ModeOf({"-help"}), SaverMode::Config);
    EXPECT_EQ(ModeOf({"--Version"}), SaverMode::Config);
    // Later, they keep the meaning they had there.
    EXPECT_EQ(ModeOf({"s", "--help"}), SaverMode::FullScreen);
    EXPECT_EQ(ModeOf({"window", "--version"}), SaverMode::Window);
    std::string error;
    EXPECT_FALSE(ParseCommandLine({"--root", "--help"}, nullptr, error));
    EXPECT_EQ(error, "unknown option '--help'");
}

TEST(CommandLine, BadPreviewWindowIdsAreRefused) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"p"},
                                                 {"p", "abc"},
                                                 {"p", "12x"},
                                                 {"p", "-5"},
                                                 {"p", "0"},
                                                 {"p", "0x"},
                                                 {"p", "99999999999999999999999"},
                                                 {"p", "0xffffffff0000050d"},
                                                 {"p", "0x20000000"},
                                                 {"p", "536870912"}}) {
        std::string error;
        EXPECT_FALSE(ParseCommandLine(args, nullptr, error)) << args.size();
        EXPECT_FALSE(error.empty());
    }
}

TEST(CommandLine, HackConventions) {
    const auto root = Parse({"--root"});
    ASSERT_TRUE(root);
    EXPECT_EQ(root->mode, SaverMode::Hack);
    EXPECT_FALSE(root->windowId);  // the root window
    EXPECT_EQ(ModeOf({"-root"}), SaverMode::Hack);

    const auto byOption = Parse({"-window-id", "0x400007"});
    ASSERT_TRUE(byOption);
    EXPECT_EQ(byOption->windowId, 0x400007u);
    EXPECT_EQ(Parse({"--window-id", "77"})->windowId, 77u);

    // The daemon's variable is read in every case; an explicit id wins.
    const auto daemon = Parse({"--root"}, "0x2c00003");
    ASSERT_TRUE(daemon);
    EXPECT_EQ(daemon->mode, SaverMode::Hack);
    EXPECT_EQ(daemon->windowId, 0x2c00003u);
    EXPECT_EQ(Parse({}, "4242")->windowId, 4242u);
    EXPECT_EQ(Parse({"--window-id", "9"}, "4242")->windowId, 9u);
    EXPECT_EQ(ModeOf({}, ""), SaverMode::Config);  // set but empty: not a hack

    std::string error;
    EXPECT_FALSE(ParseCommandLine({"--root", "--fps"}, nullptr, error));
    EXPECT_NE(error.find("--fps"), std::string::npos);
    EXPECT_FALSE(ParseCommandLine({"--window-id"}, nullptr, error));
    EXPECT_FALSE(ParseCommandLine({"--window-id", "zz"}, nullptr, error));
    EXPECT_FALSE(ParseCommandLine({}, "not-a-window", error));
    EXPECT_NE(error.find("XSCREENSAVER_WINDOW"), std::string::npos);
}

TEST(CommandLine, WindowIdsAreTwentyNineBits) {
    EXPECT_EQ(ParseWindowId("0x1fffffff"), 0x1fffffffu);
    EXPECT_EQ(ParseWindowId("536870911"), 0x1fffffffu);
    for (const char* wide : {"0x20000000", "536870912", "0xffffffff0000050d", "0x10000050d"})
        EXPECT_FALSE(ParseWindowId(wide)) << wide;
    std::string error;
    EXPECT_FALSE(ParseCommandLine({"--window-id", "0xffffffff0000050d"}, nullptr, error));
    EXPECT_FALSE(ParseCommandLine({"--root"}, "0xffffffff0000050d", error));
    EXPECT_NE(error.find("XSCREENSAVER_WINDOW"), std::string::npos);
}

// Which modes mix the process id into the seed: only the hack, which a
// daemon starts once per monitor in the same second.
struct SeedCase {
    std::vector<std::string> args;
    const char* xscreensaverWindow;
    bool mixesProcess;
};

// The case in the test's name, the same in every build.
void PrintTo(const SeedCase& c, std::ostream* out) {
    *out << "args";
    for (const std::string& arg : c.args)
        *out << ' ' << arg;
    *out << ", window " << (c.xscreensaverWindow != nullptr ? c.xscreensaverWindow : "unset");
}

class StartSeedByMode : public ::testing::TestWithParam<SeedCase> {};

TEST_P(StartSeedByMode, OnlyTheHackMixesTheProcessId) {
    const SeedCase& c = GetParam();
    const SaverMode mode = ModeOf(c.args, c.xscreensaverWindow);
    constexpr std::int64_t kNow = 1765324800;
    for (const std::uint32_t id : {1234u, 1235u, 4194304u}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(StartSeed(mode, kNow, id), c.mixesProcess ? HackSeed(kNow, id) : ClockSeed(kNow));
    }
    EXPECT_EQ(StartSeed(mode, kNow, 1234) != StartSeed(mode, kNow, 1235), c.mixesProcess);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, StartSeedByMode,
    ::testing::Values(SeedCase{{"--root"}, nullptr, true}, SeedCase{{"-root"}, nullptr, true},
                      SeedCase{{"--window-id", "0x2c00003"}, nullptr, true},
                      SeedCase{{}, "0x2c00003", true}, SeedCase{{"--root"}, "0x2c00003", true},
                      SeedCase{{"s"}, nullptr, false}, SeedCase{{"/S"}, "0x2c00003", false},
                      SeedCase{{"p", "1234"}, nullptr, false}, SeedCase{{"window"}, nullptr, false},
                      SeedCase{{}, nullptr, false}, SeedCase{{"/c"}, nullptr, false}));

}  // namespace
}  // namespace wendrel::linux_app

namespace wendrel::linux_app {
namespace {

TEST(CommandLine, BackgroundIsAModeOfItsOwnWithNoArguments) {
    EXPECT_EQ(ModeOf({"--background"}), SaverMode::Background);
    // Also where the daemon names a window: the first argument decides.
    EXPECT_EQ(ModeOf({"--background"}, "0x500001"), SaverMode::Background);
    EXPECT_FALSE(Parse({"--background", "--root"}));
    EXPECT_EQ(ModeOf({"-background"}), SaverMode::Config);
}

// "s" and --background go to the compositor when there is one, unless the
// user asks for X11; the modes that name X windows never do.
TEST(CommandLine, OnlyTheSaverAndTheBackgroundRunOnWayland) {
    struct Case {
        SaverMode mode;
        const char* wayland;
        const char* backend;
        bool wanted;
    };
    const Case cases[] = {
        {SaverMode::FullScreen, "wayland-1", nullptr, true},
        {SaverMode::Background, "wayland-1", nullptr, true},
        {SaverMode::Background, "wayland-1", "", true},
        {SaverMode::FullScreen, "wayland-1", "wayland", true},
        {SaverMode::FullScreen, "wayland-1", "x11", false},
        {SaverMode::Background, "wayland-1", "x11", false},
        {SaverMode::FullScreen, nullptr, nullptr, false},
        {SaverMode::FullScreen, "", nullptr, false},
        {SaverMode::Preview, "wayland-1", nullptr, false},
        {SaverMode::Hack, "wayland-1", nullptr, false},
        {SaverMode::Window, "wayland-1", nullptr, false},
        {SaverMode::Config, "wayland-1", nullptr, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WantsWayland(c.mode, c.wayland, c.backend), c.wanted)
            << static_cast<int>(c.mode) << " " << (c.wayland ? c.wayland : "(unset)") << " "
            << (c.backend ? c.backend : "(unset)");
    }
}

}  // namespace
}  // namespace wendrel::linux_app
