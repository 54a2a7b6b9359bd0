#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "app/linux/settings_store.h"

namespace fs = std::filesystem;

namespace wendrel::linux_app {
namespace {

class SettingsStore : public ::testing::Test {
  protected:
    void SetUp() override {
        home = fs::temp_directory_path() /
               ("wendrel-settings-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(home);
    }
    void TearDown() override { fs::remove_all(home); }

    CSettingsStore Store(const std::string& program = "wendrel") const {
        return CSettingsStore(home, "Tavrin Screen Savers", program);
    }
    void WriteFile(const std::string& text) const {
        fs::create_directories(Store().Path().parent_path());
        std::ofstream(Store().Path()) << text;
    }
    std::string ReadFile() const {
        std::ifstream in(Store().Path());
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    fs::path home;
};

// The text rules are settings_text's (settings_text_test.cpp); here the
// store around them: where its file is and how a read or write reaches it.
TEST_F(SettingsStore, ReadsAndWritesGoThroughTheProgramsFile) {
    EXPECT_EQ(Store().Path(), home / "Tavrin Screen Savers" / "wendrel.conf");
    EXPECT_EQ(Store().GetProfileInt("LEAF", "NoDirect", 0), 0);  // no file
    WriteFile("[LEAF]\nNoDirect=7\n");
    EXPECT_EQ(Store().GetProfileInt("LEAF", "NoDirect", 0), 7);
    WriteFile("[LEAF]\nNoDirect=yes\n");
    EXPECT_EQ(Store().GetProfileInt("LEAF", "NoDirect", 3), 3);

    std::string error;
    WriteFile("# mine\n[LEAF]\nNoDirect=7\n");
    ASSERT_TRUE(Store().WriteProfileInt("LEAF", "NoDirect", -5, error)) << error;
    EXPECT_EQ(ReadFile(), "# mine\n[LEAF]\nNoDirect=-5\n");
    EXPECT_EQ(Store().GetProfileInt("LEAF", "NoDirect", 0), -5);

    // A directory where the file should be reads as the default too.
    fs::remove(Store().Path());
    fs::create_directories(Store().Path());
    EXPECT_EQ(Store().GetProfileInt("LEAF", "NoDirect", 0), 0);
}

TEST_F(SettingsStore, ProgramsKeepSeparateSettingsAndFailedWritesSaySo) {
    std::string error;
    ASSERT_TRUE(Store("wendrel").WriteProfileInt("LEAF", "NoDirect", 1, error));
    EXPECT_EQ(Store("wendrel-copy").GetProfileInt("LEAF", "NoDirect", 0), 0);
    EXPECT_EQ(CSettingsStore::ProgramName("/usr/libexec/xscreensaver/wendrel"), "wendrel");
    EXPECT_EQ(CSettingsStore::ProgramName("./Wendrel.scr"), "Wendrel");
    EXPECT_EQ(CSettingsStore::ProgramName("a.b.c"), "a.b");

    // A plain file where the directory should be: the write fails, loudly,
    // and the old value stays.
    fs::create_directories(home);
    std::ofstream(home / "blocked") << "x";
    const CSettingsStore blocked(home / "blocked", "Tavrin Screen Savers", "wendrel");
    EXPECT_FALSE(blocked.WriteProfileInt("LEAF", "NoDirect", 1, error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
    EXPECT_EQ(blocked.GetProfileInt("LEAF", "NoDirect", 0), 0);
}

// Where the settings live, by the XDG rules, also in the environment a
// daemon trims for its savers (HOME, no XDG_CONFIG_HOME). Null: unset.
struct ConfigHomeCase {
    const char* name;  // the test's name, the same in every build
    const char* xdgConfigHome;
    const char* home;
    const char* expected;  // null: the password database's home + "/.config"
};

void PrintTo(const ConfigHomeCase& c, std::ostream* out) {
    *out << c.name;
}

class DefaultConfigHome : public ::testing::TestWithParam<ConfigHomeCase> {
  protected:
    void SetUp() override {
        for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name,
                               value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    static void Set(const char* name, const char* value) {
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_P(DefaultConfigHome, FollowsTheXdgRules) {
    const ConfigHomeCase& c = GetParam();
    Set("XDG_CONFIG_HOME", c.xdgConfigHome);
    Set("HOME", c.home);
    fs::path expected;
    if (c.expected != nullptr) {
        expected = c.expected;
    } else {
        const passwd* entry = ::getpwuid(::getuid());
        ASSERT_NE(entry, nullptr);
        expected = fs::path(entry->pw_dir) / ".config";
    }
    EXPECT_EQ(CSettingsStore::DefaultConfigHome(), expected);
    EXPECT_EQ(CSettingsStore(CSettingsStore::DefaultConfigHome(), "Tavrin Screen Savers", "wendrel")
                  .Path(),
              expected / "Tavrin Screen Savers" / "wendrel.conf");
}

INSTANTIATE_TEST_SUITE_P(
    Environments, DefaultConfigHome,
    ::testing::Values(
        ConfigHomeCase{"XdgAndHome", "/xdg/config", "/home/someone", "/xdg/config"},
        ConfigHomeCase{"XdgAlone", "/xdg/config", nullptr, "/xdg/config"},
        ConfigHomeCase{"HomeAlone", nullptr, "/home/someone", "/home/someone/.config"},
        ConfigHomeCase{"EmptyXdg", "", "/home/someone", "/home/someone/.config"},
        ConfigHomeCase{"RelativeXdg", "relative/config", "/home/someone", "/home/someone/.config"},
        ConfigHomeCase{"Neither", nullptr, nullptr, nullptr},
        ConfigHomeCase{"EmptyHome", nullptr, "", nullptr}),
    [](const ::testing::TestParamInfo<ConfigHomeCase>& param) { return param.param.name; });

}  // namespace
}  // namespace wendrel::linux_app
