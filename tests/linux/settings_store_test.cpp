#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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

    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    EXPECT_EQ(CSettingsStore::DefaultConfigHome(), home);
    ::setenv("XDG_CONFIG_HOME", "", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(CSettingsStore::DefaultConfigHome(), fs::path("/home/someone/.config"));
}

}  // namespace
}  // namespace wendrel::linux_app
