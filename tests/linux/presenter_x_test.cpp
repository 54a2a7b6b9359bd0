// The presenters sending only what changed, on a real X server: run by CTest
// under tests/support/with-x-server.sh (Xvfb, at 24 and 16 bits; the
// exclusive cases on the dummy server, which has a 640x480 mode).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "display/x11/exclusive_presenter.h"
#include "display/x11/saver_wnd.h"
#include "display/x11/stretch_presenter.h"
#include "display/x11/x_windows.h"
#include "scene/animation.h"
#include "scene/frame_buffer.h"
#include "scene/leaf_scene.h"
#include "scene/random.h"
#include "scene/saver_core.h"
#include "tests/linux/allocation_counter.h"

// Last: Xlib's macros (None, Status) would spoil the headers above.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "tests/linux/sdl_on_x.h"

namespace wendrel::display {
namespace {

using Clock = std::chrono::steady_clock;

struct Channel {
    int shift = 0;
    int bits = 0;
};

Channel ChannelOf(unsigned long mask) {
    Channel c;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++c.shift;
    }
    while ((mask & 1) != 0) {
        mask >>= 1;
        ++c.bits;
    }
    return c;
}

// A window's pixels as the server holds them, and how frame colours look
// in its format (each channel cut to its width).
struct WindowPixels {
    int width = 0;
    int height = 0;
    Channel red, green, blue;
    std::vector<unsigned long> pixels;

    unsigned long At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    unsigned long Colour(const std::uint8_t* bgr) const {
        const auto put = [](std::uint8_t value, const Channel& c) {
            return static_cast<unsigned long>(value >> (8 - c.bits)) << c.shift;
        };
        return put(bgr[2], red) | put(bgr[1], green) | put(bgr[0], blue);
    }
};

class PresenterOnX : public test::SdlOnX {
  protected:
    static Window MakeWindow(int width, int height) {
        const int screen = DefaultScreen(probe);
        const Window window = XCreateSimpleWindow(
            probe, DefaultRootWindow(probe), 0, 0, static_cast<unsigned>(width),
            static_cast<unsigned>(height), 0, BlackPixel(probe, screen), BlackPixel(probe, screen));
        XMapWindow(probe, window);
        XSync(probe, False);
        return window;
    }

    static WindowPixels Read(unsigned long window) {
        WindowPixels out;
        XWindowAttributes attributes{};
        XGetWindowAttributes(probe, window, &attributes);
        out.width = attributes.width;
        out.height = attributes.height;
        out.red = ChannelOf(attributes.visual->red_mask);
        out.green = ChannelOf(attributes.visual->green_mask);
        out.blue = ChannelOf(attributes.visual->blue_mask);
        XImage* image = XGetImage(probe, window, 0, 0, static_cast<unsigned>(out.width),
                                  static_cast<unsigned>(out.height), AllPlanes, ZPixmap);
        if (image == nullptr)
            return out;
        const unsigned long planes = attributes.visual->red_mask | attributes.visual->green_mask |
                                     attributes.visual->blue_mask;
        out.pixels.reserve(static_cast<std::size_t>(out.width) * out.height);
        for (int y = 0; y < out.height; ++y) {
            for (int x = 0; x < out.width; ++x)
                out.pixels.push_back(XGetPixel(image, x, y) & planes);
        }
        XDestroyImage(image);
        return out;
    }

    // The frame pixel that a plain nearest-neighbour stretch over
    // width x height shows at (x, y): the one under the pixel's centre.
    static const std::uint8_t* Stretched(const std::uint8_t* frame, int x, int y, int width,
                                         int height) {
        const auto sx = static_cast<int>((2LL * x + 1) * kFrameWidth / (2LL * width));
        const auto sy = static_cast<int>((2LL * y + 1) * kFrameHeight / (2LL * height));
        return frame + (kFrameHeight - 1 - sy) * kFrameStride + sx * 3;
    }

    static ::testing::AssertionResult ShowsStretch(const WindowPixels& shot,
                                                   const std::uint8_t* frame) {
        if (shot.pixels.empty())
            return ::testing::AssertionFailure() << "no pixels read";
        for (int y = 0; y < shot.height; ++y) {
            for (int x = 0; x < shot.width; ++x) {
                const unsigned long want =
                    shot.Colour(Stretched(frame, x, y, shot.width, shot.height));
                if (shot.At(x, y) != want)
                    return ::testing::AssertionFailure()
                           << shot.width << "x" << shot.height << ": pixel " << x << "," << y
                           << " is " << std::hex << shot.At(x, y) << ", not " << want;
            }
        }
        return ::testing::AssertionSuccess();
    }

    // A black square drawn by another client: it stays until the saver
    // sends that part of the window again.
    static void Mark(unsigned long window, int x, int y, int size) {
        const GC gc = XCreateGC(probe, window, 0, nullptr);
        XSetForeground(probe, gc, 0);
        XFillRectangle(probe, window, gc, x, y, static_cast<unsigned>(size),
                       static_cast<unsigned>(size));
        XFreeGC(probe, gc);
        XSync(probe, False);
    }

    // Random colours, none black.
    static std::vector<std::uint8_t> RandomFrame(std::uint32_t seed) {
        std::mt19937 random(seed);
        std::vector<std::uint8_t> frame(kFrameBytes);
        for (std::uint8_t& byte : frame)
            byte = static_cast<std::uint8_t>(random() | 0x80);
        return frame;
    }

    // Upright pixels [x, x + size) x [y, y + size) of the frame changed.
    static FrameRect ChangeBlock(std::vector<std::uint8_t>& frame, int x, int y, int size) {
        for (int row = y; row < y + size; ++row) {
            std::uint8_t* p = frame.data() + (kFrameHeight - 1 - row) * kFrameStride + x * 3;
            for (int i = 0; i < size * 3; ++i)
                p[i] = static_cast<std::uint8_t>(p[i] ^ 0x55);
        }
        return FrameRect{x, y, x + size, y + size};
    }
};

// Real frames of the animation, each sent in parts: afterwards the window
// holds, pixel for pixel, a whole stretch of the last frame.
TEST_F(PresenterOnX, PartialUpdatesAddUpToTheWholeStretch) {
    const int screenWidth = DisplayWidth(probe, DefaultScreen(probe));
    const int screenHeight = DisplayHeight(probe, DefaultScreen(probe));
    int tried = 0;
    for (const auto& [width, height] : {std::pair{1366, 768}, std::pair{1023, 767},
                                        std::pair{1920, 1080}, std::pair{3840, 2160}}) {
        if (width > screenWidth || height > screenHeight)
            continue;  // XGetImage reads only what is on the screen
        ++tried;
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const Window xid = MakeWindow(width, height);
        SDL_Window* window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(xid));
        ASSERT_NE(window, nullptr) << SDL_GetError();
        {
            CStretchPresenter presenter;
            std::string error;
            ASSERT_TRUE(presenter.Create(window, error)) << error;
            CSaverCore core;
            CLeafScene scene;
            scene.LoadBackground();
            ResetAnimationGlobals();
            SeedRandom(static_cast<std::uint32_t>(width));
            for (int tick = 0; tick < 400; ++tick)
                AnimationTick(scene, {});
            ASSERT_GT(scene.LeafCount(), 3u);
            const auto show = [&scene] {
                return FrameToShow{scene.Frame(), &scene.LastChanges(), scene.ComposeCount()};
            };
            presenter.Present(show());
            EXPECT_TRUE(presenter.LastReport().whole);
            int partial = 0;
            std::int64_t painted = 0;
            long allocations = 0;
            for (int tick = 0; tick < 40; ++tick) {
                AnimationTick(scene, {});
                const long before = AllocationCount();
                presenter.Present(show());
                allocations += AllocationCount() - before;
                const PresentReport& report = presenter.LastReport();
                partial += !report.whole && report.rectangles > 0 ? 1 : 0;
                painted += report.pixels;
            }
            EXPECT_EQ(partial, 40) << "frames sent whole, or not at all";
            EXPECT_LT(painted, 40LL * width * height / 3);
            EXPECT_EQ(allocations, 0) << "presenting allocated";
            EXPECT_TRUE(ShowsStretch(Read(xid), scene.Frame()));
            presenter.Destroy();
        }
        SDL_DestroyWindow(window);
        XDestroyWindow(probe, xid);
        XSync(probe, False);
    }
    EXPECT_GT(tried, 0) << "the screen is too small for every size";
}

void Pump(CSaverWnd& window, bool& exposed) {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        exposed = exposed ||
                  (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED);
        window.OnEvent(event);
    }
}

// Our own window: what did not change is not sent again (a square drawn
// over it by another client stays), until the server reports the window
// exposed; then the next frame covers all of it.
TEST_F(PresenterOnX, OnlyChangesAreSentUntilAnExpose) {
    CSaverWnd window;
    std::string error;
    ASSERT_TRUE(window.CreateWindowed(401, 301, error)) << error;
    const unsigned long xid = XWindowOf(window.Window());
    bool exposed = false;
    Pump(window, exposed);
    auto frame = RandomFrame(1);
    FrameChanges changes;
    window.ShowFrame(FrameToShow{frame.data(), &changes, 1});
    ASSERT_TRUE(ShowsStretch(Read(xid), frame.data()));

    Mark(xid, 0, 0, 20);
    changes.whole = false;
    changes.rects = {ChangeBlock(frame, 400, 300, 40)};
    window.ShowFrame(FrameToShow{frame.data(), &changes, 2});
    WindowPixels shot = Read(xid);
    ASSERT_FALSE(shot.pixels.empty());
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const unsigned long want =
                x < 20 && y < 20 ? 0 : shot.Colour(Stretched(frame.data(), x, y, 401, 301));
            ASSERT_EQ(shot.At(x, y), want) << x << "," << y;
        }
    }

    // The server asks for the marked part again.
    XClearArea(probe, xid, 0, 0, 20, 20, True);
    XSync(probe, False);
    exposed = false;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!exposed && Clock::now() < deadline) {
        Pump(window, exposed);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(exposed) << "no expose event within 5 s";
    changes.rects.clear();  // nothing changed but what the server lost
    window.ShowFrame(FrameToShow{frame.data(), &changes, 3});
    EXPECT_TRUE(ShowsStretch(Read(xid), frame.data()));

    // Frames 4 and 5 never came: what 6 says changed is not all that did.
    Mark(xid, 200, 100, 20);
    window.ShowFrame(FrameToShow{frame.data(), &changes, 6});
    EXPECT_TRUE(ShowsStretch(Read(xid), frame.data()));
}

// A window that is not ours: SDL hears nothing of it, the saver's probe
// connection hears the expose, and Invalidate has the next frame cover it.
TEST_F(PresenterOnX, ForeignWindowIsCoveredAgainAfterAnExpose) {
    const Window xid = MakeWindow(300, 200);
    CXProbe watcher;
    std::string error;
    ASSERT_TRUE(watcher.Open(error)) << error;
    watcher.WatchExposures(xid);
    XSync(probe, False);
    {
        CSaverWnd window;
        ASSERT_TRUE(window.CreateFrom(xid, error)) << error;
        const auto frame = RandomFrame(2);
        FrameChanges changes;
        window.ShowFrame(FrameToShow{frame.data(), &changes, 1});
        Mark(xid, 100, 100, 30);
        changes.whole = false;  // the same frame: nothing to send
        window.ShowFrame(FrameToShow{frame.data(), &changes, 2});
        WindowPixels shot = Read(xid);
        ASSERT_FALSE(shot.pixels.empty());
        EXPECT_EQ(shot.At(110, 110), 0u);
        EXPECT_NE(shot.At(10, 10), 0u);
        EXPECT_FALSE(watcher.TakeExposed(xid));

        XClearArea(probe, xid, 100, 100, 30, 30, True);
        XSync(probe, False);
        bool exposed = false;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (!exposed && Clock::now() < deadline) {
            exposed = watcher.TakeExposed(xid);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_TRUE(exposed) << "the probe heard no expose within 5 s";
        EXPECT_FALSE(watcher.TakeExposed(xid));
        window.Invalidate();
        window.ShowFrame(FrameToShow{frame.data(), &changes, 3});
        EXPECT_TRUE(ShowsStretch(Read(xid), frame.data()));
    }
    XDestroyWindow(probe, xid);
    XSync(probe, False);
}

// The exclusive 640x480 mode (the dummy server): unscaled, and only the
// changed tiles sent.
TEST_F(PresenterOnX, ExclusiveModeSendsOnlyChangesUnscaled) {
    SDL_Window* window =
        SDL_CreateWindow("Wendrel", 0, 0, 640, 480, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    {
        CExclusivePresenter presenter;
        std::string error;
        ASSERT_TRUE(presenter.Init(window, error)) << error;
        // The mode switch makes the window exposed and resized: settle.
        const auto settle = Clock::now() + std::chrono::milliseconds(500);
        while (Clock::now() < settle) {
            SDL_PumpEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const unsigned long xid = XWindowOf(window);
        auto frame = RandomFrame(3);
        FrameChanges changes;
        presenter.Present(FrameToShow{frame.data(), &changes, 1});
        EXPECT_TRUE(presenter.LastReport().whole);
        WindowPixels shot = Read(xid);
        ASSERT_EQ(shot.width, 640);
        ASSERT_EQ(shot.height, 480);
        ASSERT_TRUE(ShowsStretch(shot, frame.data()));

        Mark(xid, 600, 10, 20);
        changes.whole = false;
        changes.rects = {ChangeBlock(frame, 100, 200, 20)};
        presenter.Present(FrameToShow{frame.data(), &changes, 2});
        const PresentReport report = presenter.LastReport();
        EXPECT_FALSE(report.whole);
        EXPECT_EQ(report.rectangles, 1);
        EXPECT_EQ(report.pixels, 20 * 20);
        shot = Read(xid);
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const bool marked = x >= 600 && x < 620 && y >= 10 && y < 30;
                const unsigned long want =
                    marked ? 0 : shot.Colour(frame.data() + (479 - y) * kFrameStride + x * 3);
                ASSERT_EQ(shot.At(x, y), want) << x << "," << y;
            }
        }
        presenter.Invalidate();
        presenter.Present(FrameToShow{frame.data(), &changes, 3});
        EXPECT_TRUE(presenter.LastReport().whole);
        EXPECT_TRUE(ShowsStretch(Read(xid), frame.data()));
        presenter.Release();
    }
    SDL_DestroyWindow(window);
}

}  // namespace
}  // namespace wendrel::display
