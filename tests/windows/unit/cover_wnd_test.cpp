// The windows over the other monitors, beside a real full-screen window:
// they never take the activation (which would end the saver), their moves
// and buttons reach the full-screen window's rules in screen coordinates,
// and they go only after the animation thread has stopped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/windows/cover_wnd.h"
#include "display/windows/full_screen_wnd.h"
#include "tests/windows/unit/message_queue.h"
#include "tests/windows/unit/test_app.h"

namespace wendrel::display {
namespace {

using namespace test;

class CoverWndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_app.m_bDirectDraw = 0;
        auto* pPrimary = new CFullScreenWnd;
        ASSERT_TRUE(pPrimary->CreateFullScreen());
        m_app.m_pFullScreenWnd = pPrimary;
        m_app.m_pMainWnd = pPrimary;
        m_hPrimary = pPrimary->m_hWnd;
        Settle();
        lastMousePoint = noMousePoint;
        TakeCloseRequests(m_hPrimary);
    }
    void TearDown() override {
        m_app.StopAnimationThread();
        m_app.DestroyCoverWnds();
        if (IsWindow(m_hPrimary))
            DestroyWindow(m_hPrimary);
        Pump();
        TakeQuit();
    }

    // Lets the system's own messages of new windows pass.
    static void Settle() {
        for (int i = 0; i < 5; ++i) {
            PumpKeepingWindows();
            Sleep(20);
        }
    }
    HWND AddCover(const RECT& monitor) {
        auto* pCover = new CCoverWnd;
        if (!pCover->CreateCover(monitor))
            return nullptr;
        m_app.m_coverWnds.push_back(pCover);
        return pCover->m_hWnd;
    }
    int Closes() { return TakeCloseRequests(m_hPrimary); }

    CTestApp m_app;
    HWND m_hPrimary = nullptr;
};

TEST_F(CoverWndTest, FillsItsMonitorTopmostWithoutTakingTheActivation) {
    ASSERT_EQ(GetActiveWindow(), m_hPrimary);
    const RECT monitor{-1024, -768, 0, 0};
    HWND hCover = AddCover(monitor);
    ASSERT_NE(hCover, nullptr);
    Settle();
    RECT rect{};
    GetWindowRect(hCover, &rect);
    EXPECT_EQ(rect.left, monitor.left);
    EXPECT_EQ(rect.top, monitor.top);
    EXPECT_EQ(rect.right, monitor.right);
    EXPECT_EQ(rect.bottom, monitor.bottom);
    EXPECT_TRUE(IsWindowVisible(hCover));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(hCover, GWL_EXSTYLE));
    EXPECT_EQ(exStyle & (WS_EX_TOPMOST | WS_EX_NOACTIVATE),
              DWORD{WS_EX_TOPMOST | WS_EX_NOACTIVATE});
    EXPECT_EQ(GetActiveWindow(), m_hPrimary);
    EXPECT_EQ(GetForegroundWindow(), m_hPrimary);
    // A click on it would not activate it either.
    EXPECT_EQ(SendMessageA(hCover, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_hPrimary),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    EXPECT_EQ(SendMessageA(hCover, WM_SETCURSOR, reinterpret_cast<WPARAM>(hCover),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(Closes(), 0);
}

// Moves over either window are measured from the first position, wherever
// it was, in screen coordinates; (-100, -100) is a position like any other.
TEST_F(CoverWndTest, MovesOverEitherWindowFollowOneRuleInScreenCoordinates) {
    HWND hLeftAbove = AddCover({-1024, -768, 0, 0});
    HWND hRight = AddCover({1024, 0, 2048, 768});
    ASSERT_NE(hLeftAbove, nullptr);
    ASSERT_NE(hRight, nullptr);
    Settle();
    TakeCloseRequests(m_hPrimary);
    const auto move = [](HWND hWnd, int x, int y) {
        SendMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    };
    struct Step {
        HWND hWnd;
        int x, y;  // client coordinates of hWnd
        int closes;
    };
    const struct Case {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"first at (-100, -100), then (+5, +5), then (+6, +6)",
         {{hLeftAbove, 924, 668, 0}, {hLeftAbove, 929, 673, 0}, {hLeftAbove, 930, 674, 1}}},
        {"first on the right monitor, then beside it on the primary",
         {{hRight, 10, 10, 0}, {m_hPrimary, 1020, 5, 0}, {m_hPrimary, 1040, 6, 0}}},
        {"first on the primary, then across onto the right monitor",
         {{m_hPrimary, 1020, 700, 0}, {hRight, 0, 705, 0}, {hRight, 2, 706, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lastMousePoint = noMousePoint;
        for (const Step& step : c.steps) {
            move(step.hWnd, step.x, step.y);
            EXPECT_EQ(Closes(), step.closes) << step.x << "," << step.y;
        }
    }
    lastMousePoint = noMousePoint;
    move(hLeftAbove, 924, 668);
    EXPECT_EQ(lastMousePoint, CPoint(-100, -100));
}

TEST_F(CoverWndTest, AButtonOrAKeyOnItClosesTheSaver) {
    HWND hCover = AddCover({1024, 0, 2048, 768});
    ASSERT_NE(hCover, nullptr);
    Settle();
    TakeCloseRequests(m_hPrimary);
    for (UINT message : {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN, WM_KEYDOWN}) {
        SCOPED_TRACE(message);
        SendMessageA(hCover, message, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(Closes(), 1);
    }
    SendMessageA(hCover, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(Closes(), 0);
}

// Seen from inside each cover's WM_DESTROY: the animation thread, which
// draws on the covers, has stopped by then. Windows owned by the
// full-screen window would die before its own OnDestroy stops the thread.
thread_local CTestApp* pWatchedApp = nullptr;
thread_local int coversDestroyed = 0;
thread_local int coversDestroyedWhileAnimating = 0;

LRESULT CALLBACK WatchDestroy(int nCode, WPARAM wParam, LPARAM lParam) {
    const auto* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && pMsg->message == WM_DESTROY && pWatchedApp != nullptr) {
        for (CCoverWnd* pCover : pWatchedApp->m_coverWnds) {
            if (pCover->m_hWnd == pMsg->hwnd) {
                ++coversDestroyed;
                if (pWatchedApp->m_pThread != nullptr)
                    ++coversDestroyedWhileAnimating;
            }
        }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

TEST_F(CoverWndTest, TheyGoWithTheSaverOnlyAfterTheAnimationThreadStopped) {
    HWND hLeft = AddCover({-1024, 0, 0, 768});
    HWND hRight = AddCover({1024, 0, 2048, 768});
    ASSERT_NE(hLeft, nullptr);
    ASSERT_NE(hRight, nullptr);
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    m_app.StartAnimationThread(scene);
    Sleep(100);
    pWatchedApp = &m_app;
    coversDestroyed = coversDestroyedWhileAnimating = 0;
    HHOOK hHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchDestroy, nullptr, GetCurrentThreadId());
    PostMessageA(m_hPrimary, WM_CLOSE, 0, 0);
    Pump();
    UnhookWindowsHookEx(hHook);
    pWatchedApp = nullptr;
    EXPECT_EQ(coversDestroyed, 2);
    EXPECT_EQ(coversDestroyedWhileAnimating, 0);
    EXPECT_FALSE(IsWindow(hLeft));
    EXPECT_FALSE(IsWindow(hRight));
    EXPECT_TRUE(m_app.m_coverWnds.empty());
    EXPECT_EQ(m_app.m_pThread, nullptr);
    EXPECT_TRUE(TakeQuit());
}

}  // namespace
}  // namespace wendrel::display
