// The set-up against Wine's real DirectDraw. Which suite applies depends on
// the X server the test command chose: Xvfb lists no 640 x 480 mode, the
// dummy-driver Xorg does (see CMakeLists.txt).
#include <gtest/gtest.h>

#include "display/windows/full_screen_wnd.h"
#include "tests/windows/unit/frame_pattern.h"
#include "tests/windows/unit/message_queue.h"
#include "tests/windows/unit/test_app.h"

namespace wendrel::display {
namespace {

using namespace test;

TEST(RealDriverWithout640x480, TheSetUpFailsAndLeavesTheScreenAlone) {
    CTestApp app;
    app.m_bDirectDraw = 1;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    auto* pWnd = new CFullScreenWnd;
    ASSERT_TRUE(pWnd->CreateFullScreen());
    EXPECT_EQ(app.m_bDirectDraw, 0);
    EXPECT_EQ(app.m_exclusive.m_pDirectDraw, nullptr);
    EXPECT_EQ(app.m_exclusive.m_pPrimarySurface, nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), height);
    DestroyWindow(pWnd->m_hWnd);
    TakeQuit();
}

TEST(RealDriverWith640x480, SwitchesTheDisplayShowsTheFrameAndRestores) {
    CTestApp app;
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    PaintQuadrants(scene);
    app.m_bDirectDraw = 1;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_NE(width, 640);
    auto* pWnd = new CFullScreenWnd;
    ASSERT_TRUE(pWnd->CreateFullScreen());
    HWND hWnd = pWnd->m_hWnd;
    ASSERT_EQ(app.m_bDirectDraw, 1);
    EXPECT_EQ(app.m_exclusive.chosenMode.dwWidth, 640u);
    EXPECT_EQ(app.m_exclusive.chosenMode.dwHeight, 480u);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    ASSERT_NE(app.m_exclusive.m_pBackBuffer, nullptr);
    ASSERT_NE(app.m_exclusive.m_pOffscreenSurface, nullptr);

    app.m_exclusive.PresentDirectDraw(scene);
    HDC hDC = nullptr;
    ASSERT_EQ(app.m_exclusive.m_pPrimarySurface->GetDC(&hDC), DD_OK);
    const COLORREF topLeft = GetPixel(hDC, 10, 10);
    const COLORREF bottomRight = GetPixel(hDC, 630, 470);
    app.m_exclusive.m_pPrimarySurface->ReleaseDC(hDC);
    EXPECT_EQ(topLeft, kGreen);
    EXPECT_EQ(bottomRight, kYellow);

    DestroyWindow(hWnd);
    EXPECT_EQ(app.m_exclusive.m_pDirectDraw, nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), height);
    EXPECT_TRUE(TakeQuit());
}

}  // namespace
}  // namespace wendrel::display
