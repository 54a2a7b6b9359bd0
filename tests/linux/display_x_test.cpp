// The windows and presenters on a real X server: run by CTest under
// tests/support/with-x-server.sh.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/x11/full_screen_wnd.h"
#include "display/x11/saver_wnd.h"
#include "scene/frame_buffer.h"

// Last: Xlib's macros (None, Status) would spoil the headers above.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "tests/linux/sdl_on_x.h"

namespace wendrel::display {
namespace {

constexpr unsigned long kWhite = 0xffffff;

class DisplayOnX : public test::SdlOnX {
  protected:
    static void SetUpTestSuite() {
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        SdlOnX::SetUpTestSuite();
    }

    // A frame whose bottom stored rows are red and the rest blue.
    static std::vector<std::uint8_t> RedBottomFrame(int redRows) {
        std::vector<std::uint8_t> frame(kFrameBytes);
        for (int row = 0; row < kFrameHeight; ++row) {
            for (int x = 0; x < kFrameWidth; ++x) {
                std::uint8_t* p = frame.data() + row * kFrameStride + x * 3;
                p[0] = row < redRows ? 0 : 255;
                p[1] = 0;
                p[2] = row < redRows ? 255 : 0;
            }
        }
        return frame;
    }
    static std::vector<std::uint8_t> Plain(std::uint8_t b, std::uint8_t g, std::uint8_t r) {
        std::vector<std::uint8_t> frame(kFrameBytes);
        for (std::size_t i = 0; i < frame.size(); i += 3) {
            frame[i] = b;
            frame[i + 1] = g;
            frame[i + 2] = r;
        }
        return frame;
    }

    // The window's pixels as 0xRRGGBB, rows top to bottom.
    static std::vector<unsigned long> Pixels(unsigned long window, int& width, int& height) {
        SDL_PumpEvents();
        XWindowAttributes attributes{};
        XGetWindowAttributes(probe, window, &attributes);
        width = attributes.width;
        height = attributes.height;
        XImage* image = XGetImage(probe, window, 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
        std::vector<unsigned long> pixels;
        if (image == nullptr)
            return pixels;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                pixels.push_back(XGetPixel(image, x, y) & 0xffffff);
        }
        XDestroyImage(image);
        return pixels;
    }
};

TEST_F(DisplayOnX, WindowIsWhiteUntilTheFirstFrame) {
    CSaverWnd window;
    std::string error;
    ASSERT_TRUE(window.CreateWindowed(200, 150, error)) << error;
    int w = 0, h = 0;
    const auto pixels = Pixels(XWindowOf(window.Window()), w, h);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(w * h));
    for (unsigned long pixel : pixels)
        ASSERT_EQ(pixel, kWhite);
}

TEST_F(DisplayOnX, StretchCoversTheWholeWindowFirstRowAtTheBottom) {
    CSaverWnd window;
    std::string error;
    ASSERT_TRUE(window.CreateWindowed(333, 222, error)) << error;
    // 240 of 480 rows red: the lower half of any stretch.
    const auto frame = RedBottomFrame(kFrameHeight / 2);
    window.ShowFrame(frame.data());
    int w = 0, h = 0;
    const auto pixels = Pixels(XWindowOf(window.Window()), w, h);
    ASSERT_EQ(w, 333);
    ASSERT_EQ(h, 222);
    for (int y = 0; y < h; ++y) {
        // Rows next to the middle may take either colour, by rounding.
        if (y == h / 2 - 1 || y == h / 2)
            continue;
        const unsigned long want = y < h / 2 ? 0x0000ff : 0xff0000;
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(pixels[static_cast<std::size_t>(y * w + x)], want) << x << "," << y;
    }
}

TEST_F(DisplayOnX, LostRendererDropsThatFrameOnly) {
    CSaverWnd window;
    std::string error;
    ASSERT_TRUE(window.CreateWindowed(160, 120, error)) << error;
    const auto green = Plain(0, 255, 0);
    const auto blue = Plain(255, 0, 0);
    window.ShowFrame(green.data());
    SDL_Event reset{};
    reset.type = SDL_RENDER_TARGETS_RESET;
    EXPECT_FALSE(window.OnEvent(reset));
    const unsigned long xid = XWindowOf(window.Window());
    int w = 0, h = 0;
    window.ShowFrame(blue.data());  // dropped
    auto pixels = Pixels(xid, w, h);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels[pixels.size() / 2], 0x00ff00u);
    window.ShowFrame(blue.data());
    pixels = Pixels(xid, w, h);
    EXPECT_EQ(pixels[pixels.size() / 2], 0x0000ffu);
}

TEST_F(DisplayOnX, ForeignWindowIsDrawnAtItsSizeAndLeftInPlace) {
    const int screen = DefaultScreen(probe);
    const Window foreign =
        XCreateSimpleWindow(probe, DefaultRootWindow(probe), 0, 0, 120, 90, 0,
                            BlackPixel(probe, screen), BlackPixel(probe, screen));
    XMapWindow(probe, foreign);
    XSync(probe, False);
    {
        CSaverWnd window;
        std::string error;
        ASSERT_TRUE(window.CreateFrom(foreign, error)) << error;
        EXPECT_EQ(window.ForeignWindow(), foreign);
        const auto green = Plain(0, 255, 0);
        window.ShowFrame(green.data());
        int w = 0, h = 0;
        auto pixels = Pixels(foreign, w, h);
        ASSERT_EQ(pixels.size(), 120u * 90u);
        EXPECT_EQ(pixels.front(), 0x00ff00u);
        EXPECT_EQ(pixels.back(), 0x00ff00u);
        // Grown behind SDL's back: wrapped anew, it fills the new size.
        XResizeWindow(probe, foreign, 200, 150);
        XSync(probe, False);
        ASSERT_TRUE(window.Rewrap(error)) << error;
        window.ShowFrame(green.data());
        pixels = Pixels(foreign, w, h);
        ASSERT_EQ(pixels.size(), 200u * 150u);
        EXPECT_EQ(pixels.back(), 0x00ff00u);
    }
    XWindowAttributes attributes{};
    EXPECT_NE(XGetWindowAttributes(probe, foreign, &attributes), 0);  // still there
    XDestroyWindow(probe, foreign);
    XSync(probe, False);
}

TEST_F(DisplayOnX, FullScreenWithoutA640x480ModeFallsBackToStretch) {
    // Xvfb offers one mode, the screen's own size.
    CFullScreenWnd window;
    std::int32_t bDirectDraw = 1;
    std::string error;
    ASSERT_TRUE(window.CreateFullScreen(bDirectDraw, error)) << error;
    EXPECT_EQ(bDirectDraw, 0);
    EXPECT_NE(window.ExclusiveFailure(), "");
    const auto frame = RedBottomFrame(kFrameHeight / 2);
    window.ShowFrame(frame.data());
    int w = 0, h = 0;
    const auto pixels = Pixels(XWindowOf(window.Window()), w, h);
    SDL_Rect screen{};
    SDL_GetDisplayBounds(0, &screen);
    ASSERT_EQ(w, screen.w);
    ASSERT_EQ(h, screen.h);
    EXPECT_EQ(pixels.front(), 0x0000ffu);
    EXPECT_EQ(pixels.back(), 0xff0000u);
}

TEST_F(DisplayOnX, FullScreenInputRules) {
    CFullScreenWnd window;
    std::int32_t bDirectDraw = 0;
    std::string error;
    ASSERT_TRUE(window.CreateFullScreen(bDirectDraw, error)) << error;
    SDL_Event event{};
    event.type = SDL_KEYUP;
    EXPECT_FALSE(window.OnEvent(event));
    event.type = SDL_MOUSEWHEEL;
    EXPECT_FALSE(window.OnEvent(event));
    event.type = SDL_MOUSEBUTTONUP;
    EXPECT_FALSE(window.OnEvent(event));
    event = {};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = SDL_GetWindowID(window.Window());
    event.motion.x = 50;
    event.motion.y = 50;
    EXPECT_FALSE(window.OnEvent(event));
    event.motion.x = 56;
    event.motion.y = 56;
    EXPECT_TRUE(window.OnEvent(event));
    event = {};
    event.type = SDL_KEYDOWN;
    EXPECT_TRUE(window.OnEvent(event));
    event.type = SDL_MOUSEBUTTONDOWN;
    EXPECT_TRUE(window.OnEvent(event));

    // The focus given to a window of another program ends it, once it is
    // clear that it did not go to another window of ours.
    const Window other =
        XCreateSimpleWindow(probe, DefaultRootWindow(probe), 0, 0, 100, 100, 0, kWhite, kWhite);
    XMapWindow(probe, other);
    XSync(probe, False);
    XSetInputFocus(probe, other, RevertToNone, CurrentTime);
    XSync(probe, False);
    bool closed = false;
    for (int i = 0; i < 100 && !closed; ++i) {
        SDL_Delay(10);
        while (SDL_PollEvent(&event) != 0)
            closed = window.OnEvent(event) || closed;
        closed = window.OnIdle() || closed;
    }
    EXPECT_TRUE(closed);
    XDestroyWindow(probe, other);
    XSync(probe, False);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

}  // namespace
}  // namespace wendrel::display
