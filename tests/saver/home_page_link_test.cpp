// The home-page procedure against recording stand-ins for the platform.
#include "saver/home_page_link.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "saver/saver_names.h"

namespace wendrel {
namespace {

// A directory in memory: which files exist, which of them cannot be opened,
// and what the procedure asked, in order.
class CRecordingCalls : public CHomePageCalls {
  public:
    bool OpenExisting(const char* file) override {
        log.push_back(std::string("open ") + file);
        return files.count(file) != 0 && locked.count(file) == 0;
    }
    bool CreateNew(const char* file) override {
        log.push_back(std::string("create ") + file);
        return files.insert(file).second;
    }
    std::optional<std::string> FindProgram(const char* file) override {
        log.push_back(std::string("find ") + file + (files.count(file) != 0 ? "" : " (missing)"));
        return program;
    }
    void Start(const std::string& name, const char* address) override {
        log.push_back("start " + name + " " + address);
    }
    void Delete(const char* file) override {
        log.push_back(std::string("delete ") + file);
        files.erase(file);
    }

    std::set<std::string> files;
    std::set<std::string> locked;
    std::optional<std::string> program = "browser";
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST(HomePageLink, APageFileMadeForTheLookUpGoesAfterwards) {
    CRecordingCalls calls;
    EXPECT_TRUE(OpenHomePage(calls, kHomePageAddress));
    EXPECT_EQ(calls.log, (Log{"open aaa.htm", "create aaa.htm", "find aaa.htm",
                              "start browser www.tavrin.example", "delete aaa.htm"}));
    EXPECT_TRUE(calls.files.empty());
}

TEST(HomePageLink, AnExistingPageFileIsUsedAndLeftAlone) {
    CRecordingCalls calls;
    calls.files = {"aaa.htm"};
    EXPECT_TRUE(OpenHomePage(calls, "host"));
    EXPECT_EQ(calls.log, (Log{"open aaa.htm", "find aaa.htm", "start browser host"}));
    EXPECT_EQ(calls.files.count("aaa.htm"), 1u);
}

TEST(HomePageLink, APageFileThatCannotBeOpenedIsNeitherReplacedNorDeleted) {
    CRecordingCalls calls;
    calls.files = {"aaa.htm"};
    calls.locked = {"aaa.htm"};
    EXPECT_TRUE(OpenHomePage(calls, "host"));
    EXPECT_EQ(calls.log,
              (Log{"open aaa.htm", "create aaa.htm", "find aaa.htm", "start browser host"}));
    EXPECT_EQ(calls.files.count("aaa.htm"), 1u);
}

TEST(HomePageLink, NothingStartsWithoutAProgram) {
    CRecordingCalls calls;
    calls.program.reset();
    EXPECT_FALSE(OpenHomePage(calls, "host"));
    EXPECT_EQ(calls.log, (Log{"open aaa.htm", "create aaa.htm", "find aaa.htm", "delete aaa.htm"}));
}

TEST(HomePageLink, TheAddressIsABareHostName) {
    const std::string address = kHomePageAddress;
    EXPECT_EQ(address.find("://"), std::string::npos);
    EXPECT_EQ(address.find('/'), std::string::npos);
    EXPECT_NE(address.find('.'), std::string::npos);
}

}  // namespace
}  // namespace wendrel
