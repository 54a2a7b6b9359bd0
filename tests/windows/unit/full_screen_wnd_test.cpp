// The full-screen window's handlers, driven by messages sent to a real
// window: what posts a close request, what is ignored, and its end.
#include <gtest/gtest.h>

#include <string>

#include "display/windows/full_screen_wnd.h"
#include "tests/windows/unit/message_queue.h"
#include "tests/windows/unit/test_app.h"

namespace wendrel::display {
namespace {

using namespace test;

class CCountingFullScreenWnd : public CFullScreenWnd {
  public:
    static inline int destroys = 0;

  protected:
    void OnDestroy() override {
        ++destroys;
        CFullScreenWnd::OnDestroy();
    }
};

class FullScreenWndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_app.m_bDirectDraw = 0;
        CCountingFullScreenWnd::destroys = 0;
        auto* pWnd = new CCountingFullScreenWnd;
        ASSERT_TRUE(pWnd->CreateFullScreen());
        m_pWnd = pWnd;
        m_hWnd = pWnd->m_hWnd;
        // Let the system's own messages of a new window (activation, a
        // pointer under it) pass before the tests speak.
        for (int i = 0; i < 5; ++i) {
            PumpKeepingWindows();
            Sleep(20);
        }
        lastMousePoint = noMousePoint;
        TakeCloseRequests(m_hWnd);
    }
    void TearDown() override {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
        Pump();
        TakeQuit();
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(m_hWnd, message, wParam, lParam);
    }
    void Move(int x, int y) { Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    int Closes() { return TakeCloseRequests(m_hWnd); }

    CTestApp m_app;
    CFullScreenWnd* m_pWnd = nullptr;
    HWND m_hWnd = nullptr;
};

TEST_F(FullScreenWndTest, CoversThePrimaryScreenTopmostWithTheSaverClass) {
    RECT rect{};
    GetWindowRect(m_hWnd, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    const auto style = static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE));
    EXPECT_EQ(style & ~static_cast<DWORD>(WS_CLIPSIBLINGS), 0x90000000u);
    EXPECT_TRUE(GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    char name[128] = {};
    GetClassNameA(m_hWnd, name, sizeof name);
    EXPECT_EQ(m_app.m_strWndClass, name);
    EXPECT_EQ(m_app.m_strWndClass.rfind("Afx:", 0), 0u);
    EXPECT_NE(m_app.m_strWndClass.find(":3:"), std::string::npos);
}

TEST_F(FullScreenWndTest, TheFirstMoveOnlyRecordsThePosition) {
    Move(500, 400);
    EXPECT_EQ(Closes(), 0);
    EXPECT_EQ(lastMousePoint, CPoint(500, 400));
    Move(506, 406);
    EXPECT_EQ(Closes(), 1);
    EXPECT_EQ(lastMousePoint, CPoint(500, 400));
}

TEST_F(FullScreenWndTest, BothAxesMustMoveMoreThanFivePixels) {
    struct Case {
        int dx, dy, closes;
    };
    for (const Case& c : {Case{6, 6, 1}, Case{5, 100, 0}, Case{100, 3, 0}, Case{-6, -6, 1},
                          Case{6, -6, 1}, Case{5, 5, 0}, Case{-100, 0, 0}}) {
        SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy));
        lastMousePoint = noMousePoint;
        Move(500, 400);
        Move(500 + c.dx, 400 + c.dy);
        EXPECT_EQ(Closes(), c.closes);
    }
}

TEST_F(FullScreenWndTest, SmallMovesAddUpFromTheFirstPosition) {
    Move(500, 400);
    Move(503, 403);
    EXPECT_EQ(Closes(), 0);
    Move(506, 406);
    EXPECT_EQ(Closes(), 1);
}

TEST_F(FullScreenWndTest, AnyKeyOrButtonPressClosesIt) {
    struct Press {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const LPARAM alt = 1 << 29;
    for (const Press& p : {Press{WM_KEYDOWN, VK_ESCAPE, 1}, Press{WM_KEYDOWN, 'A', 1},
                           Press{WM_KEYDOWN, VK_SPACE, 1}, Press{WM_SYSKEYDOWN, VK_MENU, alt | 1},
                           Press{WM_SYSKEYDOWN, VK_F4, alt | 1},
                           Press{WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)},
                           Press{WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(10, 10)},
                           Press{WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10)}}) {
        SCOPED_TRACE(p.message);
        Send(p.message, p.wParam, p.lParam);
        EXPECT_EQ(Closes(), 1);
        // Default processing (Alt+F4's system Close among it) keeps it alive.
        EXPECT_EQ(PumpKeepingWindows(), 0);
        EXPECT_TRUE(IsWindow(m_hWnd));
    }
}

TEST_F(FullScreenWndTest, ReleasesAndTheWheelDoNotCloseIt) {
    Send(WM_KEYUP, VK_ESCAPE, 0xC0000001);
    Send(WM_SYSKEYUP, VK_MENU, 0xC0000001);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    Send(WM_MBUTTONUP, 0, MAKELPARAM(10, 10));
    Send(WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(10, 10));
    EXPECT_EQ(Closes(), 0);
}

TEST_F(FullScreenWndTest, IgnoresScreenSaveAndCloseSystemCommands) {
    Send(WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    Send(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(PumpKeepingWindows(), 0);
    EXPECT_TRUE(IsWindow(m_hWnd));
    EXPECT_EQ(CCountingFullScreenWnd::destroys, 0);
}

TEST_F(FullScreenWndTest, OtherSystemCommandsGetDefaultProcessing) {
    // Compared as a whole, Close with the system's low bits set is another
    // command; the default processing closes the window.
    Send(WM_SYSCOMMAND, SC_CLOSE | 2, 0);
    Pump();
    EXPECT_FALSE(IsWindow(m_hWnd));
    EXPECT_EQ(CCountingFullScreenWnd::destroys, 1);
}

TEST_F(FullScreenWndTest, SetsNoCursor) {
    for (WORD hitTest : {WORD{HTCLIENT}, WORD{HTCAPTION}, WORD{HTNOWHERE}}) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
        ASSERT_NE(GetCursor(), nullptr);
        EXPECT_EQ(
            Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(hitTest, WM_MOUSEMOVE)),
            TRUE);
        EXPECT_EQ(GetCursor(), nullptr);
    }
}

TEST_F(FullScreenWndTest, RefusesToLookInactive) {
    EXPECT_EQ(Send(WM_NCACTIVATE, FALSE, 0), FALSE);
    EXPECT_NE(Send(WM_NCACTIVATE, TRUE, 0), FALSE);
    EXPECT_EQ(Closes(), 0);
}

TEST_F(FullScreenWndTest, LosingActivationClosesIt) {
    Send(WM_ACTIVATE, WA_ACTIVE, 0);
    Send(WM_ACTIVATE, WA_CLICKACTIVE, 0);
    Send(WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(Closes(), 0);
    Send(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(Closes(), 1);
    Send(WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(Closes(), 1);
}

TEST_F(FullScreenWndTest, AnotherWindowTakingTheFocusClosesIt) {
    EXPECT_EQ(GetActiveWindow(), m_hWnd);
    EXPECT_EQ(GetForegroundWindow(), m_hWnd);
    HWND hOther = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hOther, nullptr);
    SetForegroundWindow(hOther);
    SetActiveWindow(hOther);
    EXPECT_GE(PumpKeepingWindows(), 1);
    DestroyWindow(hOther);
}

TEST_F(FullScreenWndTest, ThreeQueuedClosesDestroyItOnce) {
    m_app.m_pMainWnd = m_pWnd;
    for (int i = 0; i < 3; ++i)
        PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(m_hWnd));
    EXPECT_EQ(CCountingFullScreenWnd::destroys, 1);
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
    int code = -1;
    EXPECT_TRUE(TakeQuit(&code));
    EXPECT_EQ(code, 0);
}

TEST_F(FullScreenWndTest, ItsDestructionStopsTheAnimationThread) {
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    m_app.m_pMainWnd = m_pWnd;
    m_app.StartAnimationThread(scene);
    ASSERT_NE(m_app.m_pThread, nullptr);
    Sleep(50);
    PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(m_app.m_pThread, nullptr);
    EXPECT_TRUE(TakeQuit());
}

}  // namespace
}  // namespace wendrel::display
