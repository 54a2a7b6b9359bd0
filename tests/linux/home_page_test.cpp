#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/linux/home_page.h"

namespace fs = std::filesystem;

namespace wendrel::linux_app {
namespace {

// Runs each test in an empty directory of its own, with a handler that
// records what it is asked and what it starts.
class HomePage : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = fs::current_path();
        dir = fs::temp_directory_path() / ("wendrel-homepage-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::current_path(dir);
        handler.findProgram = [this](const std::string& file) -> std::optional<std::string> {
            looked.push_back(file);
            fileExistedDuringLookUp = fs::exists(file);
            return program;
        };
        handler.start = [this](const std::string& p, const std::string& a) {
            started.push_back(p + " " + a);
        };
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(dir);
    }
    fs::path previous, dir;
    WebPageHandler handler;
    std::optional<std::string> program = "/usr/bin/browser";
    std::vector<std::string> looked, started;
    bool fileExistedDuringLookUp = false;
};

TEST_F(HomePage, PageFileLivesOnlyForTheClickThatMadeIt) {
    EXPECT_TRUE(OpenHomePage(handler, "www.example.org"));
    EXPECT_TRUE(fileExistedDuringLookUp);
    EXPECT_FALSE(fs::exists("aaa.htm"));
    ASSERT_EQ(looked, std::vector<std::string>{"aaa.htm"});
    EXPECT_TRUE(OpenHomePage(handler, "www.example.org"));  // each click starts it again
    EXPECT_EQ(started, (std::vector<std::string>{"/usr/bin/browser www.example.org",
                                                 "/usr/bin/browser www.example.org"}));
}

TEST_F(HomePage, AnExistingPageFileIsUsedAndLeftAlone) {
    std::ofstream("aaa.htm") << "<p>mine</p>";
    EXPECT_TRUE(OpenHomePage(handler, "www.example.org"));
    std::ifstream in("aaa.htm");
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "<p>mine</p>");

    // Even one that cannot be opened for reading is neither replaced nor deleted.
    fs::remove("aaa.htm");
    fs::create_directory("aaa.htm");
    EXPECT_TRUE(OpenHomePage(handler, "www.example.org"));
    EXPECT_TRUE(fs::is_directory("aaa.htm"));
}

TEST_F(HomePage, NothingStartsWithoutAProgramForWebPages) {
    program.reset();
    EXPECT_FALSE(OpenHomePage(handler, "www.example.org"));
    EXPECT_TRUE(started.empty());
    EXPECT_FALSE(fs::exists("aaa.htm"));
}

}  // namespace
}  // namespace wendrel::linux_app
