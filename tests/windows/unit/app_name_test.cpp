// Names the framework derives: the application's, the help file's and the
// window classes'.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "framework/windows/win_app.h"
#include "framework/windows/wnd_class.h"
#include "tests/windows/unit/test_app.h"

namespace wendrel {
namespace {

TEST(AppName, IsTheFileNameWithoutDirectoryAndExtension) {
    EXPECT_EQ(CWinApp::AppNameFromModulePath("C:\\windows\\system32\\wendrel.scr"), "wendrel");
    EXPECT_EQ(CWinApp::AppNameFromModulePath("C:\\a.dir\\leaf.saver.scr"), "leaf.saver");
    EXPECT_EQ(CWinApp::AppNameFromModulePath("C:\\a.dir\\noext"), "noext");
    EXPECT_EQ(CWinApp::AppNameFromModulePath("wendrel.exe"), "wendrel");
}

TEST(AppName, ComesFromTheRunningModule) {
    CWinApp app;
    EXPECT_EQ(app.m_strAppName, "wendrel_windows_unit_tests");
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandleA(nullptr));
}

TEST(AppObject, TheLatestIsCurrentUntilItGoes) {
    EXPECT_EQ(AfxGetApp(), nullptr);
    CWinApp outer;
    {
        CWinApp inner;
        EXPECT_EQ(AfxGetApp(), &inner);
    }
    EXPECT_EQ(AfxGetApp(), &outer);
}

TEST(HelpPath, ReplacesTheExtensionWithHlp) {
    EXPECT_EQ(CWinApp::HelpPathFromModulePath("C:\\x\\wendrel.scr"), "C:\\x\\wendrel.HLP");
    EXPECT_EQ(CWinApp::HelpPathFromModulePath("C:\\x.y\\wendrel"), "C:\\x.y\\wendrel.HLP");
    CWinApp app;
    const std::string& path = app.m_strHelpFilePath;
    ASSERT_GE(path.size(), 31u);
    EXPECT_EQ(path.substr(path.size() - 31), "\\wendrel_windows_unit_tests.HLP");
}

TEST(WndClass, NameHoldsInstanceStyleCursorBrushAndIcon) {
    test::CTestApp app;
    HCURSOR hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    const std::string name = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, hCursor);
    char expected[128];
    std::snprintf(
        expected, sizeof expected, "Afx:%llx:3:%llx:0:0",
        static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(app.m_hInstance)),
        static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(hCursor)));
    EXPECT_EQ(name, expected);

    WNDCLASSA wc{};
    ASSERT_TRUE(GetClassInfoA(app.m_hInstance, name.c_str(), &wc));
    EXPECT_EQ(wc.style, 3u);
    EXPECT_EQ(wc.hCursor, hCursor);
    EXPECT_EQ(wc.hbrBackground, nullptr);
    EXPECT_EQ(wc.hIcon, nullptr);
    // Asked again, the class is found rather than registered twice.
    EXPECT_EQ(AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, hCursor), name);
    EXPECT_NE(AfxRegisterWndClass(CS_HREDRAW, hCursor), name);
}

}  // namespace
}  // namespace wendrel
