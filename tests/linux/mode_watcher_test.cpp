#include "display/x11/mode_watcher.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace wendrel::display {
namespace {

// With no display to read the mode of, the watcher says why and leaves
// nothing running; the end-to-end tests on the dummy Xorg show the rest.
TEST(ModeWatcher, WithoutADisplayItSaysWhyAndLeavesNothingRunning) {
    const char* old = std::getenv("DISPLAY");
    const std::string saved = old != nullptr ? old : "";
    unsetenv("DISPLAY");
    CModeWatcher watcher;
    std::string error;
    EXPECT_FALSE(watcher.Start(error));
    EXPECT_EQ(error, "cannot open the X display");
    EXPECT_FALSE(watcher.IsRunning());
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    watcher.Finish(false);  // nothing to end
    if (old != nullptr)
        setenv("DISPLAY", saved.c_str(), 1);
}

}  // namespace
}  // namespace wendrel::display
