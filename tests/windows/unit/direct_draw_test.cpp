// The DirectDraw set-up, release and mode choice against a fake driver.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "display/windows/display_app.h"
#include "display/windows/full_screen_wnd.h"
#include "tests/windows/unit/fake_direct_draw.h"
#include "tests/windows/unit/message_queue.h"
#include "tests/windows/unit/test_app.h"

namespace wendrel::display {
namespace {

using test::CallLog;
using test::CFakeDirectDraw;
using test::CFakeDriverScope;

const CallLog kWholeSetUp = {"DirectDrawCreate",       "SetCooperativeLevel",
                             "EnumDisplayModes",       "SetDisplayMode 640x480x32",
                             "CreateSurface primary",  "GetAttachedSurface",
                             "CreateSurface offscreen"};

bool AllZero(const DDSURFACEDESC& desc) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&desc);
    for (std::size_t i = 0; i < sizeof desc; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

class DirectDrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_app.m_bDirectDraw = 1;
        m_driver.m_modes = {CFakeDirectDraw::Mode(640, 480, 32)};
    }

    void ExpectNothingHeld() {
        EXPECT_EQ(m_app.m_bDirectDraw, 0);
        EXPECT_EQ(m_app.m_exclusive.m_pDirectDraw, nullptr);
        EXPECT_EQ(m_app.m_exclusive.m_pPrimarySurface, nullptr);
        EXPECT_EQ(m_app.m_exclusive.m_pBackBuffer, nullptr);
        EXPECT_EQ(m_app.m_exclusive.m_pOffscreenSurface, nullptr);
    }

    test::CTestApp m_app;
    CallLog m_log;
    CFakeDirectDraw m_driver{m_log};
    CFullScreenWnd m_wnd;
};

TEST_F(DirectDrawTest, ACompleteSetUpHoldsEverythingAndKeepsTheFlag) {
    CFakeDriverScope scope(m_driver);
    m_wnd.InitDirectDraw();
    EXPECT_EQ(m_log, kWholeSetUp);
    EXPECT_EQ(m_app.m_bDirectDraw, 1);
    EXPECT_EQ(m_app.m_exclusive.m_pDirectDraw, &m_driver);
    EXPECT_EQ(m_app.m_exclusive.m_pPrimarySurface, &m_driver.m_primary);
    EXPECT_EQ(m_app.m_exclusive.m_pBackBuffer, &m_driver.m_back);
    EXPECT_EQ(m_app.m_exclusive.m_pOffscreenSurface, &m_driver.m_offscreen);

    EXPECT_EQ(m_driver.m_dwCooperativeFlags, 0x11u);
    EXPECT_EQ(m_driver.m_primaryDesc.dwSize, sizeof(DDSURFACEDESC));
    EXPECT_EQ(m_driver.m_primaryDesc.dwFlags, 0x21u);
    EXPECT_EQ(m_driver.m_primaryDesc.dwBackBufferCount, 1u);
    EXPECT_EQ(m_driver.m_primaryDesc.ddsCaps.dwCaps, 0x218u);
    EXPECT_EQ(m_driver.m_primary.m_attachCaps.dwCaps, 0x4u);
    EXPECT_EQ(m_driver.m_offscreenDesc.dwSize, sizeof(DDSURFACEDESC));
    EXPECT_EQ(m_driver.m_offscreenDesc.dwFlags, 0x7u);
    EXPECT_EQ(m_driver.m_offscreenDesc.dwWidth, 640u);
    EXPECT_EQ(m_driver.m_offscreenDesc.dwHeight, 480u);
    EXPECT_EQ(m_driver.m_offscreenDesc.ddsCaps.dwCaps, 0x40u);

    m_log.clear();
    m_wnd.ReleaseDirectDraw();
    EXPECT_EQ(m_log, (CallLog{"primary Release", "offscreen Release", "RestoreDisplayMode",
                              "Release ddraw", "RestoreSavedModes"}));
    m_app.m_bDirectDraw = 0;
    ExpectNothingHeld();
}

TEST_F(DirectDrawTest, ReleasingNothingDoesNothing) {
    m_wnd.ReleaseDirectDraw();
    EXPECT_TRUE(m_log.empty());
}

TEST_F(DirectDrawTest, EightAndSixteenBitsOnlyFailBeforeTheModeChanges) {
    m_driver.m_modes = {CFakeDirectDraw::Mode(640, 480, 8), CFakeDirectDraw::Mode(640, 480, 16)};
    CFakeDriverScope scope(m_driver);
    m_wnd.InitDirectDraw();
    EXPECT_EQ(m_log, (CallLog{"DirectDrawCreate", "SetCooperativeLevel", "EnumDisplayModes",
                              "RestoreDisplayMode", "Release ddraw", "RestoreSavedModes"}));
    EXPECT_EQ(m_driver.m_nModesListed, 2);
    EXPECT_TRUE(AllZero(m_app.m_exclusive.chosenMode));
    ExpectNothingHeld();
}

TEST_F(DirectDrawTest, TheFirstListedOfThirtyTwoAndTwentyFourBitsWins) {
    m_driver.m_modes = {CFakeDirectDraw::Mode(800, 600, 32), CFakeDirectDraw::Mode(640, 480, 32),
                        CFakeDirectDraw::Mode(640, 480, 24)};
    {
        CFakeDriverScope scope(m_driver);
        m_wnd.InitDirectDraw();
    }
    EXPECT_EQ(m_log[3], "SetDisplayMode 640x480x32");
    EXPECT_EQ(m_driver.m_nModesListed, 2);
    m_wnd.ReleaseDirectDraw();

    CallLog log;
    CFakeDirectDraw other(log);
    other.m_modes = {CFakeDirectDraw::Mode(640, 480, 24), CFakeDirectDraw::Mode(640, 480, 32)};
    CFakeDriverScope scope(other);
    m_wnd.InitDirectDraw();
    EXPECT_EQ(log[3], "SetDisplayMode 640x480x24");
    EXPECT_EQ(m_app.m_bDirectDraw, 1);
    m_wnd.ReleaseDirectDraw();
}

TEST_F(DirectDrawTest, PixelFormatsWithMoreThanTheRgbFlagAreRefused) {
    m_driver.m_modes = {CFakeDirectDraw::Mode(640, 480, 32, DDPF_RGB | DDPF_ALPHAPIXELS),
                        CFakeDirectDraw::Mode(640, 480, 32, DDPF_RGB | DDPF_PALETTEINDEXED8),
                        CFakeDirectDraw::Mode(640, 480, 24, 0),
                        CFakeDirectDraw::Mode(640, 480, 24)};
    CFakeDriverScope scope(m_driver);
    m_wnd.InitDirectDraw();
    EXPECT_EQ(m_log[3], "SetDisplayMode 640x480x24");
    EXPECT_EQ(m_driver.m_nModesListed, 4);
    m_wnd.ReleaseDirectDraw();
}

TEST_F(DirectDrawTest, OtherSizesAreRefused) {
    m_driver.m_modes = {CFakeDirectDraw::Mode(800, 600, 32), CFakeDirectDraw::Mode(640, 400, 32),
                        CFakeDirectDraw::Mode(480, 640, 24), CFakeDirectDraw::Mode(1024, 480, 24)};
    CFakeDriverScope scope(m_driver);
    m_wnd.InitDirectDraw();
    EXPECT_EQ(m_log.size(), 6u);
    ExpectNothingHeld();
}

TEST_F(DirectDrawTest, ChosenModeHoldsTheWholeDescriptionOfTheMatch) {
    const DDSURFACEDESC wanted = CFakeDirectDraw::Mode(640, 480, 24);
    DDSURFACEDESC mode = wanted;
    EXPECT_EQ(EnumModeCallback(&mode, &m_app.m_exclusive), DDENUMRET_CANCEL);
    EXPECT_EQ(std::memcmp(&m_app.m_exclusive.chosenMode, &wanted, sizeof wanted), 0);
    // Every mode looked at starts afresh, so a refused one clears it.
    DDSURFACEDESC refused = CFakeDirectDraw::Mode(640, 480, 16);
    EXPECT_EQ(EnumModeCallback(&refused, &m_app.m_exclusive), DDENUMRET_OK);
    EXPECT_TRUE(AllZero(m_app.m_exclusive.chosenMode));
}

TEST_F(DirectDrawTest, ADriverListingNoModesLeavesNoEarlierChoice) {
    DDSURFACEDESC mode = CFakeDirectDraw::Mode(640, 480, 32);
    EnumModeCallback(&mode, &m_app.m_exclusive);
    m_driver.m_modes.clear();
    CFakeDriverScope scope(m_driver);
    m_wnd.InitDirectDraw();
    EXPECT_TRUE(AllZero(m_app.m_exclusive.chosenMode));
    ExpectNothingHeld();
}

// A failure at set-up step n (1 ... 7) releases what exists, restores the
// mode whenever the driver object exists, and clears the flag.
class DirectDrawFailureTest : public DirectDrawTest, public ::testing::WithParamInterface<int> {};

TEST_P(DirectDrawFailureTest, ReleasesWhatExistsAndClearsTheFlag) {
    const int step = GetParam();
    const HRESULT failure = DDERR_GENERIC;
    if (step == 2)
        m_driver.m_cooperativeResult = failure;
    if (step == 3)
        m_driver.m_modes = {CFakeDirectDraw::Mode(640, 480, 16)};
    if (step == 4)
        m_driver.m_setModeResult = failure;
    if (step == 5)
        m_driver.m_primaryResult = failure;
    if (step == 6)
        m_driver.m_primary.m_attachResult = failure;
    if (step == 7)
        m_driver.m_offscreenResult = failure;
    CFakeDriverScope scope(m_driver, step == 1 ? failure : DD_OK);
    m_wnd.InitDirectDraw();

    CallLog expected(kWholeSetUp.begin(), kWholeSetUp.begin() + step);
    if (step >= 6)
        expected.push_back("primary Release");
    if (step >= 2) {
        expected.push_back("RestoreDisplayMode");
        expected.push_back("Release ddraw");
        expected.push_back("RestoreSavedModes");
    }
    EXPECT_EQ(m_log, expected);
    EXPECT_EQ(m_driver.m_back.Count("Release"), 0);
    ExpectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(EverySetUpStep, DirectDrawFailureTest, ::testing::Range(1, 8));

TEST_F(DirectDrawTest, TheFullScreenWindowRunsTheSetUpWhileItIsCreated) {
    CFakeDriverScope scope(m_driver);
    auto* pWnd = new CFullScreenWnd;
    ASSERT_TRUE(pWnd->CreateFullScreen());
    HWND hWnd = pWnd->m_hWnd;
    EXPECT_EQ(m_driver.m_hCooperativeWnd, hWnd);
    EXPECT_EQ(m_app.m_bDirectDraw, 1);
    m_log.clear();
    DestroyWindow(hWnd);
    EXPECT_EQ(m_log, (CallLog{"primary Release", "offscreen Release", "RestoreDisplayMode",
                              "Release ddraw", "RestoreSavedModes"}));
    EXPECT_TRUE(test::TakeQuit());
}

TEST_F(DirectDrawTest, ACloseRestoresTheModeWhileTheWindowStillShows) {
    CFakeDriverScope scope(m_driver);
    auto* pWnd = new CFullScreenWnd;
    ASSERT_TRUE(pWnd->CreateFullScreen());
    HWND hWnd = pWnd->m_hWnd;
    m_log.clear();
    // Destroying the window would hide it and hand the activation on first.
    SendMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_TRUE(m_driver.m_bWindowShownAtRestore);
    EXPECT_EQ(m_log, (CallLog{"primary Release", "offscreen Release", "RestoreDisplayMode",
                              "Release ddraw", "RestoreSavedModes"}));
    EXPECT_TRUE(test::TakeQuit());
}

TEST_F(DirectDrawTest, AFailedSetUpStillMakesTheWindow) {
    m_driver.m_modes.clear();
    CFakeDriverScope scope(m_driver);
    auto* pWnd = new CFullScreenWnd;
    ASSERT_TRUE(pWnd->CreateFullScreen());
    HWND hWnd = pWnd->m_hWnd;
    EXPECT_EQ(m_app.m_bDirectDraw, 0);
    EXPECT_TRUE(IsWindowVisible(hWnd));
    EXPECT_TRUE(GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    DestroyWindow(hWnd);
    test::TakeQuit();
}

TEST_F(DirectDrawTest, WithoutTheFlagTheWindowAsksForNoDirectDraw) {
    m_app.m_bDirectDraw = 0;
    CFakeDriverScope scope(m_driver);
    auto* pWnd = new CFullScreenWnd;
    ASSERT_TRUE(pWnd->CreateFullScreen());
    EXPECT_TRUE(m_log.empty());
    pWnd->DestroyWindow();
    test::TakeQuit();
}

}  // namespace
}  // namespace wendrel::display
