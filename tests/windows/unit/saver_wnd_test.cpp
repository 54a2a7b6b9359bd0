// The preview window: a child filling its parent, white until drawn on,
// deaf to input, and, as the main window, stopping the animation thread
// when its parent destroys it.
#include <gtest/gtest.h>

#include "display/windows/saver_wnd.h"
#include "framework/windows/wnd_class.h"
#include "res/resource_ids.h"
#include "tests/windows/unit/frame_pattern.h"
#include "tests/windows/unit/message_queue.h"
#include "tests/windows/unit/test_app.h"

namespace wendrel::display {
namespace {

using namespace test;

class CParentWnd : public CWnd {
  public:
    CParentWnd() {
        CreateEx(0, AfxRegisterWndClass(0).c_str(), "panel", WS_POPUP | WS_VISIBLE, 30, 40, 152,
                 112, nullptr, nullptr);
    }
    ~CParentWnd() override { DestroyWindow(); }
};

class CProbeSaverWnd : public CSaverWnd {
  public:
    CProbeSaverWnd(BOOL bAutoDelete, bool* pDeleted)
        : CSaverWnd(bAutoDelete), m_pDeleted(pDeleted) {}
    ~CProbeSaverWnd() override { *m_pDeleted = true; }

  private:
    bool* m_pDeleted;
};

class SaverWndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_pWnd = new CProbeSaverWnd(TRUE, &m_bDeleted);
        CRect client;
        m_parent.GetClientRect(&client);
        ASSERT_TRUE(m_pWnd->Create(0, WS_CHILD | WS_VISIBLE, client, &m_parent));
        m_hWnd = m_pWnd->m_hWnd;
        Pump();
    }
    void TearDown() override {
        m_app.StopAnimationThread();
        Pump();
        TakeQuit();
    }

    std::uint32_t Pixel(int x, int y) {
        HDC hDC = GetDC(m_hWnd);
        const COLORREF colour = GetPixel(hDC, x, y);
        ReleaseDC(m_hWnd, hDC);
        return colour;
    }

    CTestApp m_app;
    CParentWnd m_parent;
    CSaverWnd* m_pWnd = nullptr;
    HWND m_hWnd = nullptr;
    bool m_bDeleted = false;
};

TEST_F(SaverWndTest, FillsItsParentsClientAreaWithTheSaverCursor) {
    EXPECT_EQ(GetParent(m_hWnd), m_parent.m_hWnd);
    RECT rect{};
    GetClientRect(m_hWnd, &rect);
    EXPECT_EQ(rect.right, 152);
    EXPECT_EQ(rect.bottom, 112);
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    EXPECT_EQ(window.left, 30);
    EXPECT_EQ(window.top, 40);
    HCURSOR hCursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_SAVER));
    ASSERT_NE(hCursor, nullptr);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(m_hWnd, GCLP_HCURSOR)), hCursor);
    EXPECT_EQ(GetClassLongPtrA(m_hWnd, GCLP_HBRBACKGROUND), 0);
    EXPECT_EQ(GetClassLongPtrA(m_hWnd, GCL_STYLE), CS_HREDRAW | CS_VREDRAW);
}

TEST_F(SaverWndTest, PaintsItselfWhite) {
    HDC hDC = GetDC(m_hWnd);
    PatBlt(hDC, 0, 0, 152, 112, BLACKNESS);
    ReleaseDC(m_hWnd, hDC);
    ASSERT_EQ(Pixel(70, 50), 0u);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    UpdateWindow(m_hWnd);
    EXPECT_EQ(Pixel(0, 0), kWhite);
    EXPECT_EQ(Pixel(70, 50), kWhite);
    EXPECT_EQ(Pixel(151, 111), kWhite);
}

TEST_F(SaverWndTest, IgnoresKeysButtonsAndMoves) {
    SendMessageA(m_hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
    SendMessageA(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageA(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
    EXPECT_EQ(TakeCloseRequests(m_hWnd), 0);
    EXPECT_TRUE(IsWindow(m_hWnd));
}

TEST_F(SaverWndTest, AsTheMainWindowItsEndStopsTheThreadAndPostsQuit) {
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    m_app.m_pMainWnd = m_pWnd;
    m_app.StartAnimationThread(scene);
    Sleep(100);
    // The thread has drawn the background over the white.
    EXPECT_NE(Pixel(70, 50), kWhite);
    TakeQuit();
    DestroyWindow(m_hWnd);
    EXPECT_EQ(m_app.m_pThread, nullptr);
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
    EXPECT_TRUE(m_bDeleted);
    EXPECT_TRUE(TakeQuit());
}

TEST_F(SaverWndTest, DestroyedWithItsParentItDeletesItself) {
    m_parent.DestroyWindow();
    EXPECT_FALSE(IsWindow(m_hWnd));
    EXPECT_TRUE(m_bDeleted);
    EXPECT_FALSE(TakeQuit());
}

TEST(SaverWnd, WithoutAutoDeleteOutlivesItsWindow) {
    CTestApp app;
    bool deleted = false;
    CProbeSaverWnd wnd(FALSE, &deleted);
    const RECT rect{0, 0, 50, 50};
    ASSERT_TRUE(wnd.Create(0, WS_POPUP, rect, nullptr));
    wnd.DestroyWindow();
    EXPECT_FALSE(deleted);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

}  // namespace
}  // namespace wendrel::display
