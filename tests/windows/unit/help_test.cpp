// Help through the system help engine, with a stand-in engine that can
// refuse to start; the framework's message is read off the real message
// box and dismissed from another thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "framework/windows/win_app.h"

namespace wendrel {
namespace {

struct HelpRequest {
    int calls = 0;
    std::string path;
    UINT command = 0;
    ULONG_PTR data = 0;
};

HelpRequest request;
BOOL engineStarts = TRUE;

BOOL WINAPI StandInWinHelp(HWND, LPCSTR lpszHelp, UINT uCommand, ULONG_PTR dwData) {
    ++request.calls;
    request.path = lpszHelp;
    request.command = uCommand;
    request.data = dwData;
    return engineStarts;
}

class HelpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        request = HelpRequest{};
        pfnWinHelp = StandInWinHelp;
    }
    void TearDown() override { pfnWinHelp = ::WinHelpA; }

    CWinApp m_app;
};

BOOL CALLBACK CollectText(HWND hWnd, LPARAM lParam) {
    char text[128] = {};
    GetWindowTextA(hWnd, text, sizeof text);
    reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(text);
    return TRUE;
}

TEST_F(HelpTest, AsksForTheCurrentContextInTheProgramsHlpFile) {
    m_app.m_dwPromptContext = 0x20085;
    m_app.OnHelp();
    EXPECT_EQ(request.calls, 1);
    EXPECT_EQ(request.path, m_app.m_strHelpFilePath);
    EXPECT_EQ(request.command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(request.data, 0x20085u);
}

TEST_F(HelpTest, SaysSoWhenTheEngineCannotStart) {
    engineStarts = FALSE;
    const std::string caption = m_app.m_strAppName;
    std::vector<std::string> texts;
    std::thread reader([&caption, &texts] {
        for (int i = 0; i < 250; ++i) {
            HWND hBox = FindWindowA(nullptr, caption.c_str());
            if (hBox != nullptr) {
                EnumChildWindows(hBox, CollectText, reinterpret_cast<LPARAM>(&texts));
                PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(20);
        }
    });
    m_app.OnHelp();
    reader.join();
    engineStarts = TRUE;
    EXPECT_EQ(request.calls, 1);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Failed to launch help."), texts.end());
}

}  // namespace
}  // namespace wendrel
