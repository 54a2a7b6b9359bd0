// Window objects on real windows: attachment before WM_CREATE, default
// processing, temporary wrappers, the end of the main window, failed
// creation and the application's entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/windows/wnd.h"
#include "framework/windows/wnd_class.h"
#include "tests/windows/unit/message_queue.h"
#include "tests/windows/unit/test_app.h"

namespace wendrel {
namespace {

using test::CTestApp;
using test::TakeQuit;

class CProbeWnd : public CWnd {
  public:
    explicit CProbeWnd(bool* pDeleted = nullptr, bool bAutoDelete = false)
        : m_pDeleted(pDeleted), m_bAutoDelete(bAutoDelete) {}
    ~CProbeWnd() override {
        if (m_pDeleted != nullptr)
            *m_pDeleted = true;
    }

    BOOL Create() {
        return CreateEx(0, AfxRegisterWndClass(0).c_str(), "probe", WS_POPUP, 10, 10, 200, 100,
                        nullptr, nullptr, this);
    }

    std::vector<UINT> m_messages;
    HWND m_hWndAtCreate = nullptr;
    void* m_pCreateParam = nullptr;
    int m_nCreateResult = 0;
    int m_nPostNcDestroy = 0;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        m_messages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override {
        m_hWndAtCreate = m_hWnd;
        m_pCreateParam = lpCreateStruct->lpCreateParams;
        if (m_nCreateResult == -1)
            return -1;
        return CWnd::OnCreate(lpCreateStruct);
    }
    BOOL OnCommand(WPARAM, LPARAM) override {
        // A message sent from inside a handler must not change what the
        // handler's Default() passes on.
        SendMessageA(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("inner"));
        return FALSE;
    }
    void PostNcDestroy() override {
        ++m_nPostNcDestroy;
        if (m_bAutoDelete)
            delete this;
    }

  private:
    bool* m_pDeleted;
    bool m_bAutoDelete;
};

TEST(Wnd, IsAttachedBeforeItsFirstMessages) {
    CTestApp app;
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.Create());
    EXPECT_NE(wnd.m_hWnd, nullptr);
    EXPECT_EQ(wnd.m_hWndAtCreate, wnd.m_hWnd);
    EXPECT_EQ(wnd.m_pCreateParam, &wnd);
    ASSERT_FALSE(wnd.m_messages.empty());
    // WM_NCCREATE (or an earlier sizing message) comes before WM_CREATE, and
    // both reached the object.
    EXPECT_NE(std::find(wnd.m_messages.begin(), wnd.m_messages.end(), UINT{WM_NCCREATE}),
              wnd.m_messages.end());
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(CWnd::FromHandle(wnd.m_hWnd), &wnd);
    wnd.DestroyWindow();
}

TEST(Wnd, DefaultPassesTheMessageBeingHandledOn) {
    CTestApp app;
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.Create());
    SendMessageA(wnd.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("outer"));
    char text[32] = {};
    GetWindowTextA(wnd.m_hWnd, text, sizeof text);
    EXPECT_STREQ(text, "outer");
    // The system's answer to WM_COMMAND is 0, to WM_SETTEXT TRUE.
    EXPECT_EQ(SendMessageA(wnd.m_hWnd, WM_COMMAND, 1, 0), 0);
    GetWindowTextA(wnd.m_hWnd, text, sizeof text);
    EXPECT_STREQ(text, "inner");
    wnd.DestroyWindow();
}

TEST(Wnd, ForeignWindowsGetTemporaryWrappers) {
    CTestApp app;
    HWND hForeign = CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
    ASSERT_NE(hForeign, nullptr);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hForeign), nullptr);
    CWnd* pWrapper = CWnd::FromHandle(hForeign);
    ASSERT_NE(pWrapper, nullptr);
    EXPECT_EQ(pWrapper->m_hWnd, hForeign);
    EXPECT_EQ(CWnd::FromHandle(hForeign), pWrapper);
    CRect rect;
    pWrapper->GetClientRect(&rect);
    EXPECT_EQ(rect.Width(), 10);
    CWnd::DeleteTempMap();
    // The wrapper never owned the window.
    EXPECT_TRUE(IsWindow(hForeign));
    DestroyWindow(hForeign);
}

TEST(Wnd, DestroyingTheMainWindowPostsQuitAndClearsIt) {
    CTestApp app;
    bool deleted = false;
    auto* pWnd = new CProbeWnd(&deleted, true);
    ASSERT_TRUE(pWnd->Create());
    HWND hWnd = pWnd->m_hWnd;
    app.m_pMainWnd = pWnd;
    TakeQuit();
    ::DestroyWindow(hWnd);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    int code = -1;
    EXPECT_TRUE(TakeQuit(&code));
    EXPECT_EQ(code, 0);
}

TEST(Wnd, DestroyingAnotherWindowPostsNoQuit) {
    CTestApp app;
    CProbeWnd main;
    CProbeWnd other;
    ASSERT_TRUE(main.Create());
    ASSERT_TRUE(other.Create());
    app.m_pMainWnd = &main;
    TakeQuit();
    other.DestroyWindow();
    EXPECT_EQ(other.m_nPostNcDestroy, 1);
    EXPECT_EQ(other.m_hWnd, nullptr);
    EXPECT_EQ(app.m_pMainWnd, &main);
    EXPECT_FALSE(TakeQuit());
    app.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

TEST(Wnd, AFailedCreationRunsPostNcDestroy) {
    CTestApp app;
    bool deleted = false;
    auto* pRefused = new CProbeWnd(&deleted, true);
    pRefused->m_nCreateResult = -1;
    EXPECT_FALSE(pRefused->Create());
    EXPECT_TRUE(deleted);

    deleted = false;
    auto* pNoClass = new CProbeWnd(&deleted, true);
    EXPECT_FALSE(
        pNoClass->CreateEx(0, "no such class", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_TRUE(deleted);
}

TEST(Wnd, DeletingTheObjectDestroysItsWindow) {
    CTestApp app;
    auto* pWnd = new CProbeWnd;
    ASSERT_TRUE(pWnd->Create());
    HWND hWnd = pWnd->m_hWnd;
    app.m_pMainWnd = pWnd;
    delete pWnd;
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    TakeQuit();
}

class CEntryApp : public CTestApp {
  public:
    BOOL InitInstance() override {
        ++m_nInit;
        auto* pWnd = new CProbeWnd(nullptr, true);
        if (pWnd->Create())
            m_pMainWnd = pWnd;
        m_hMainWnd = pWnd->m_hWnd;
        if (m_bCloseAtOnce)
            m_pMainWnd->PostMessage(WM_CLOSE);
        if (m_nQuitCode != 0)
            PostQuitMessage(m_nQuitCode);
        return m_bInitResult;
    }
    int Run() override {
        ++m_nRun;
        return CTestApp::Run();
    }
    int ExitInstance() override {
        ++m_nExit;
        m_bWindowAtExit = IsWindow(m_hMainWnd) != FALSE;
        return CTestApp::ExitInstance();
    }

    BOOL m_bInitResult = TRUE;
    bool m_bCloseAtOnce = true;
    int m_nQuitCode = 0;
    int m_nInit = 0, m_nRun = 0, m_nExit = 0;
    HWND m_hMainWnd = nullptr;
    bool m_bWindowAtExit = true;
};

TEST(WinMain, RunsTheLoopUntilTheMainWindowIsGone) {
    CEntryApp app;
    EXPECT_EQ(AfxWinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW), 0);
    EXPECT_EQ(app.m_nInit, 1);
    EXPECT_EQ(app.m_nRun, 1);
    EXPECT_EQ(app.m_nExit, 1);
    EXPECT_FALSE(app.m_bWindowAtExit);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}

TEST(WinMain, ReturnsTheQuitCode) {
    CEntryApp app;
    app.m_bCloseAtOnce = false;
    app.m_nQuitCode = 5;
    EXPECT_EQ(AfxWinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW), 5);
    EXPECT_TRUE(app.m_bWindowAtExit);
    app.m_pMainWnd->DestroyWindow();
    TakeQuit();
}

TEST(WinMain, AfterAFailedStartDestroysTheMainWindowWithoutALoop) {
    CEntryApp app;
    app.m_bInitResult = FALSE;
    app.m_bCloseAtOnce = false;
    EXPECT_EQ(AfxWinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW), 0);
    EXPECT_EQ(app.m_nRun, 0);
    EXPECT_EQ(app.m_nExit, 1);
    EXPECT_FALSE(app.m_bWindowAtExit);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    // The quit request of that destruction has no loop to end.
    EXPECT_TRUE(TakeQuit());
}

}  // namespace
}  // namespace wendrel
