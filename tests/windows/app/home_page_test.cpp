// The home-page link with a recording stand-in for the shell, in an empty
// directory of its own; and the dialog's button that runs it.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/windows/config_dlg.h"
#include "app/windows/home_page.h"
#include "app/windows/saver_app.h"
#include "saver/saver_names.h"
#include "tests/windows/app/dialog_script.h"

namespace wendrel {
namespace {

// What the stand-in was asked, in order.
std::vector<std::string> calls;
bool pageFileDuringLookUp = false;
HINSTANCE lookUpResult = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));

bool Exists(const char* name) {
    return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

HINSTANCE WINAPI FakeFindExecutable(LPCSTR file, LPCSTR directory, LPSTR result) {
    calls.push_back(std::string("find ") + file + (directory == nullptr ? " -" : " dir"));
    pageFileDuringLookUp = Exists(file);
    lstrcpyA(result, "C:\\browser.exe");
    return lookUpResult;
}

HINSTANCE WINAPI FakeShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                  LPCSTR directory, INT show) {
    std::ostringstream text;
    text << "start " << (owner == nullptr ? "-" : "owner") << ' ' << verb << ' ' << file << ' '
         << parameters << ' ' << (directory == nullptr ? "-" : directory) << ' ' << show;
    calls.push_back(text.str());
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

BOOL WINAPI FakeDeleteFile(LPCSTR file) {
    calls.push_back(std::string("delete ") + file);
    return DeleteFileA(file);
}

const CShellCalls kStandIn{&FakeFindExecutable, &FakeShellExecute, &FakeDeleteFile};

const std::string kStart = "start - open C:\\browser.exe www.tavrin.example - 10";

class HomePage : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        GetCurrentDirectoryA(MAX_PATH, m_previous);
        m_dir = std::string(temp) + "wendrel-home-page-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_dir.c_str(), nullptr);
        ASSERT_TRUE(SetCurrentDirectoryA(m_dir.c_str()));
        DeleteFileA("aaa.htm");
        calls.clear();
        pageFileDuringLookUp = false;
        lookUpResult = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
    }
    void TearDown() override {
        DeleteFileA("aaa.htm");
        SetCurrentDirectoryA(m_previous);
        RemoveDirectoryA(m_dir.c_str());
    }
    static void Write(const char* text) { std::ofstream("aaa.htm", std::ios::binary) << text; }
    static std::string Read() {
        std::ifstream in("aaa.htm", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    char m_previous[MAX_PATH] = "";
    std::string m_dir;
};

TEST_F(HomePage, PageFileLivesOnlyForTheClickThatMadeIt) {
    OpenHomePage(kStandIn, kHomePageAddress);
    EXPECT_TRUE(pageFileDuringLookUp);
    EXPECT_FALSE(Exists("aaa.htm"));
    EXPECT_EQ(calls, (std::vector<std::string>{"find aaa.htm -", kStart, "delete aaa.htm"}));
}

TEST_F(HomePage, EachClickStartsTheProgramAgain) {
    OpenHomePage(kStandIn, kHomePageAddress);
    OpenHomePage(kStandIn, kHomePageAddress);
    EXPECT_EQ(calls, (std::vector<std::string>{"find aaa.htm -", kStart, "delete aaa.htm",
                                               "find aaa.htm -", kStart, "delete aaa.htm"}));
}

TEST_F(HomePage, AnExistingPageFileIsUsedAndLeftAlone) {
    Write("<p>mine</p>");
    OpenHomePage(kStandIn, kHomePageAddress);
    EXPECT_TRUE(pageFileDuringLookUp);
    EXPECT_EQ(Read(), "<p>mine</p>");
    EXPECT_EQ(calls, (std::vector<std::string>{"find aaa.htm -", kStart}));
}

TEST_F(HomePage, APageFileThatCannotBeOpenedIsNeitherReplacedNorDeleted) {
    Write("locked");
    // Held open without sharing: the link can neither read nor make it.
    HANDLE held = CreateFileA("aaa.htm", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    OpenHomePage(kStandIn, kHomePageAddress);
    CloseHandle(held);
    EXPECT_EQ(Read(), "locked");
    EXPECT_EQ(calls, (std::vector<std::string>{"find aaa.htm -", kStart}));
}

TEST_F(HomePage, NothingStartsWithoutAProgramForWebPages) {
    lookUpResult = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_NOASSOC));
    OpenHomePage(kStandIn, kHomePageAddress);
    EXPECT_FALSE(Exists("aaa.htm"));
    EXPECT_EQ(calls, (std::vector<std::string>{"find aaa.htm -", "delete aaa.htm"}));
}

TEST_F(HomePage, TheDialogsButtonRunsItAndTheDialogStaysOpen) {
    CSaverApp app;
    CConfigDlg dlg(kStandIn);
    bool openAfterClicks = false;
    test::CDialogScript script([&](HWND hDlg) {
        test::Click(hDlg, 1012);
        test::Click(hDlg, 1012);
        openAfterClicks = IsWindowVisible(hDlg) != FALSE;
        test::Click(hDlg, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Ran());
    EXPECT_TRUE(openAfterClicks);
    EXPECT_EQ(calls, (std::vector<std::string>{"find aaa.htm -", kStart, "delete aaa.htm",
                                               "find aaa.htm -", kStart, "delete aaa.htm"}));
    test::PumpUntilQuit(0);
}

}  // namespace
}  // namespace wendrel
