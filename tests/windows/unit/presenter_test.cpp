// Both presenters: GDI onto real windows read back pixel by pixel, and
// DirectDraw onto fake surfaces whose back buffer is a DIB section.
#include <gtest/gtest.h>

#include <thread>

#include "framework/windows/wnd.h"
#include "framework/windows/wnd_class.h"
#include "tests/windows/unit/fake_direct_draw.h"
#include "tests/windows/unit/frame_pattern.h"
#include "tests/windows/unit/test_app.h"

namespace wendrel {
namespace {

using namespace test;

// A bare popup window whose client area is exactly width x height at the
// screen's top left.
class CPlainWnd : public CWnd {
  public:
    CPlainWnd(int width, int height) {
        CreateEx(0, AfxRegisterWndClass(0).c_str(), "", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                 nullptr, nullptr);
        UpdateWindow(m_hWnd);
    }
    ~CPlainWnd() override { DestroyWindow(); }

    std::uint32_t Pixel(int x, int y) const {
        HDC hDC = GetDC(m_hWnd);
        const COLORREF colour = GetPixel(hDC, x, y);
        ReleaseDC(m_hWnd, hDC);
        return colour;
    }
};

class PresenterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_scene.LoadBackground());
        PaintQuadrants(m_scene);
    }
    void TearDown() override {
        m_app.m_exclusive.m_pPrimarySurface = nullptr;
        m_app.m_exclusive.m_pBackBuffer = nullptr;
        m_app.m_stretch.m_hPresentWnd = nullptr;
    }

    CTestApp m_app;
    CLeafScene m_scene;
    CallLog m_log;
    CFakeDirectDraw m_driver{m_log};
};

void ExpectQuadrants(const CPlainWnd& wnd, int width, int height) {
    const int x1 = width / 4, x2 = 3 * width / 4, y1 = height / 4, y2 = 3 * height / 4;
    EXPECT_EQ(wnd.Pixel(x1, y1), kGreen);
    EXPECT_EQ(wnd.Pixel(x2, y1), kBlue);
    EXPECT_EQ(wnd.Pixel(x1, y2), kRed);
    EXPECT_EQ(wnd.Pixel(x2, y2), kYellow);
    // The corners of the client area too: the whole frame is in view.
    EXPECT_EQ(wnd.Pixel(0, 0), kGreen);
    EXPECT_EQ(wnd.Pixel(width - 1, height - 1), kYellow);
}

TEST_F(PresenterTest, GdiShrinksTheFrameUprightIntoASmallWindow) {
    CPlainWnd wnd(152, 112);
    m_app.m_stretch.m_hPresentWnd = wnd.m_hWnd;
    m_app.m_stretch.PresentGdi(m_scene);
    ExpectQuadrants(wnd, 152, 112);
}

TEST_F(PresenterTest, GdiStretchesTheFrameOverALargerWindow) {
    CPlainWnd wnd(1000, 700);
    m_app.m_stretch.m_hPresentWnd = wnd.m_hWnd;
    m_app.m_stretch.PresentGdi(m_scene);
    ExpectQuadrants(wnd, 1000, 700);
}

TEST_F(PresenterTest, GdiWithoutAWindowDrawsNothing) {
    CPlainWnd below(200, 200);
    HWND hGone = nullptr;
    {
        CPlainWnd gone(200, 200);
        hGone = gone.m_hWnd;
    }
    HDC hDC = GetDC(below.m_hWnd);
    PatBlt(hDC, 0, 0, 200, 200, WHITENESS);
    ReleaseDC(below.m_hWnd, hDC);
    m_app.m_stretch.m_hPresentWnd = nullptr;
    m_app.m_stretch.PresentGdi(m_scene);
    m_app.m_stretch.m_hPresentWnd = hGone;
    m_app.m_stretch.PresentGdi(m_scene);
    EXPECT_EQ(below.Pixel(100, 100), kWhite);
}

TEST_F(PresenterTest, TheAnimationThreadDrawsIntoTheMainWindow) {
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    CPlainWnd wnd(640, 480);
    m_app.m_pMainWnd = &wnd;
    m_app.m_bDirectDraw = 0;
    m_app.StartAnimationThread(scene);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    m_app.StopAnimationThread();
    m_app.m_pMainWnd = nullptr;
    EXPECT_EQ(m_app.m_pThread, nullptr);
    EXPECT_EQ(m_app.m_stretch.m_hPresentWnd, wnd.m_hWnd);
    // The last frame composed is the one on the window, unscaled here.
    for (int y = 0; y < 480; y += 37)
        for (int x = 0; x < 640; x += 41)
            ASSERT_EQ(wnd.Pixel(x, y), FramePixel(scene, x, y)) << x << "," << y;
}

TEST_F(PresenterTest, ExitInstanceStopsAThreadStillRunning) {
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    // The first tick of a fresh loop adds a leaf.
    ResetAnimationGlobals();
    m_app.StartAnimationThread(scene);
    ASSERT_NE(m_app.m_pThread, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(m_app.ExitInstance(), 0);
    EXPECT_EQ(m_app.m_pThread, nullptr);
    // Nothing runs any more: the first leaf, which moves every tick, stays.
    ASSERT_GT(scene.LeafCount(), 0u);
    const std::int32_t step = scene.LeafAt(0).pathIndex;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(scene.LeafAt(0).pathIndex, step);
}

class PresentDirectDrawTest : public PresenterTest {
  protected:
    void SetUp() override {
        PresenterTest::SetUp();
        m_app.m_bDirectDraw = 1;
        m_app.m_exclusive.m_pPrimarySurface = &m_driver.m_primary;
        m_app.m_exclusive.m_pBackBuffer = &m_driver.m_back;
    }
    const CallLog kCopyAndFlip = {"back Restore", "back GetDC", "back ReleaseDC", "primary Flip"};
};

TEST_F(PresentDirectDrawTest, CopiesTheFrameUnscaledAndUprightThenFlips) {
    m_app.m_exclusive.PresentDirectDraw(m_scene);
    EXPECT_EQ(m_log, kCopyAndFlip);
    HDC hDC = nullptr;
    m_driver.m_back.GetDC(&hDC);
    EXPECT_EQ(m_driver.m_back.m_hReleasedDC, hDC);
    CFakeSurface& back = m_driver.m_back;
    // The surface's pixels are 0x00RRGGBB.
    EXPECT_EQ(back.Pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(back.Pixel(639, 0), 0x0000FFu);
    EXPECT_EQ(back.Pixel(0, 479), 0xFF0000u);
    EXPECT_EQ(back.Pixel(639, 479), 0xFFFF00u);
    EXPECT_EQ(back.Pixel(319, 239), 0x00FF00u);
    EXPECT_EQ(back.Pixel(320, 240), 0xFFFF00u);
}

TEST_F(PresentDirectDrawTest, FlipsAgainAtOnceWhileStillDrawing) {
    m_driver.m_primary.m_flipResults = {DDERR_WASSTILLDRAWING, DDERR_WASSTILLDRAWING,
                                        DDERR_WASSTILLDRAWING, DD_OK};
    m_app.m_exclusive.PresentDirectDraw(m_scene);
    EXPECT_EQ(m_driver.m_primary.Count("Flip"), 4);
    EXPECT_EQ(m_driver.m_primary.Count("Restore"), 0);
}

TEST_F(PresentDirectDrawTest, ALostSurfaceIsRestoredAndItsFrameDropped) {
    m_driver.m_primary.m_flipResults = {DDERR_SURFACELOST};
    m_app.m_exclusive.PresentDirectDraw(m_scene);
    CallLog expected = kCopyAndFlip;
    expected.insert(expected.end(), {"primary Restore", "back Restore"});
    EXPECT_EQ(m_log, expected);
}

TEST_F(PresentDirectDrawTest, TheBackBufferWaitsWhenThePrimaryCannotBeRestored) {
    m_driver.m_primary.m_flipResults = {DDERR_SURFACELOST, DD_OK};
    m_driver.m_primary.m_restoreResults = {DDERR_SURFACELOST};
    m_app.m_exclusive.PresentDirectDraw(m_scene);
    CallLog expected = kCopyAndFlip;
    expected.push_back("primary Restore");
    EXPECT_EQ(m_log, expected);
    // The next tick tries again from the start.
    m_log.clear();
    m_app.m_exclusive.PresentDirectDraw(m_scene);
    EXPECT_EQ(m_log, kCopyAndFlip);
}

TEST_F(PresentDirectDrawTest, OtherFlipFailuresEndTheTick) {
    m_driver.m_primary.m_flipResults = {DDERR_GENERIC};
    m_driver.m_back.m_restoreResults = {DDERR_GENERIC};
    m_app.m_exclusive.PresentDirectDraw(m_scene);
    EXPECT_EQ(m_log, kCopyAndFlip);
}

TEST_F(PresentDirectDrawTest, WithoutADeviceContextItStillFlips) {
    m_driver.m_back.m_getDcResult = DDERR_SURFACELOST;
    m_app.m_exclusive.PresentDirectDraw(m_scene);
    EXPECT_EQ(m_log, (CallLog{"back Restore", "back GetDC", "primary Flip"}));
}

TEST_F(PresentDirectDrawTest, EmptySurfacesPresentNothing) {
    m_app.m_exclusive.m_pPrimarySurface = nullptr;
    m_app.m_exclusive.PresentDirectDraw(m_scene);
    m_app.m_exclusive.m_pPrimarySurface = &m_driver.m_primary;
    m_app.m_exclusive.m_pBackBuffer = nullptr;
    m_app.m_exclusive.PresentDirectDraw(m_scene);
    EXPECT_TRUE(m_log.empty());
}

TEST_F(PresentDirectDrawTest, TheAnimationThreadPresentsThroughDirectDrawWhenFlagged) {
    CLeafScene scene;
    ASSERT_TRUE(scene.LoadBackground());
    m_app.StartAnimationThread(scene);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    m_app.StopAnimationThread();
    EXPECT_GT(m_driver.m_primary.Count("Flip"), 0);
    EXPECT_EQ(m_driver.m_primary.Count("Flip"), m_driver.m_back.Count("GetDC"));
}

}  // namespace
}  // namespace wendrel
