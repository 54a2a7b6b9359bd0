#pragma once

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <gtest/gtest.h>

namespace wendrel::test {

// The X tests' fixture: SDL's video on the test's own X server, and a
// connection of the test's own (`probe`) to look at what SDL put there.
class SdlOnX : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        probe = XOpenDisplay(nullptr);
        ASSERT_NE(probe, nullptr);
    }
    static void TearDownTestSuite() {
        XCloseDisplay(probe);
        SDL_Quit();
    }

    // The X window behind an SDL window.
    static unsigned long XWindowOf(SDL_Window* window) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        EXPECT_TRUE(SDL_GetWindowWMInfo(window, &info));
        return info.info.x11.window;
    }

    static inline Display* probe = nullptr;
};

}  // namespace wendrel::test
