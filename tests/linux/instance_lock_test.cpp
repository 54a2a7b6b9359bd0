#include "app/linux/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace wendrel::linux_app {
namespace {

class InstanceLock : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "wendrel-lock.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        runtime = pattern;
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        hadRuntime = old != nullptr;
        oldRuntime = old != nullptr ? old : "";
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    void TearDown() override {
        if (hadRuntime)
            setenv("XDG_RUNTIME_DIR", oldRuntime.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        fs::remove_all(runtime);
    }
    fs::path runtime;
    bool hadRuntime = false;
    std::string oldRuntime;
};

TEST_F(InstanceLock, OneHolderPerDisplayAndTheLockEndsWithItsHolder) {
    std::string error;
    CInstanceLock first, second, other;
    ASSERT_EQ(first.Acquire(":5", error), CInstanceLock::Result::Acquired) << error;
    // The same display by other names is held; another display is free.
    for (const char* same : {":5", ":5.0", ":5.1", "unix:5", "localhost:5.0"})
        EXPECT_EQ(second.Acquire(same, error), CInstanceLock::Result::Held) << same;
    EXPECT_EQ(other.Acquire(":6", error), CInstanceLock::Result::Acquired) << error;
    EXPECT_EQ(CInstanceLock::LockPath("unix:5.0", error), runtime / "wendrel-display-5.lock");
    EXPECT_EQ(CInstanceLock::LockPath("far/away:2", error),
              runtime / "wendrel-display-far_away-2.lock");
    first.Release();
    EXPECT_EQ(second.Acquire(":5", error), CInstanceLock::Result::Acquired) << error;

    // A holder killed outright leaves the lock file, but not the lock.
    second.Release();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        CInstanceLock held;
        const bool got = held.Acquire(":5", error) == CInstanceLock::Result::Acquired;
        [[maybe_unused]] const ssize_t wrote = write(ready[1], got ? "y" : "n", 1);
        pause();
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'y');
    EXPECT_EQ(second.Acquire(":5", error), CInstanceLock::Result::Held);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_TRUE(fs::exists(runtime / "wendrel-display-5.lock"));
    EXPECT_EQ(second.Acquire(":5", error), CInstanceLock::Result::Acquired) << error;
    close(ready[0]);
    close(ready[1]);
}

TEST_F(InstanceLock, WithoutARuntimeDirectoryAPrivateOneUnderTmpIsUsed) {
    unsetenv("XDG_RUNTIME_DIR");
    const fs::path fallback = "/tmp/wendrel-" + std::to_string(getuid());
    // Made here, it goes again at the end; one in use by a saver stays.
    const bool fallbackExisted = fs::exists(fallback);
    std::string error;
    CInstanceLock lock, again;
    ASSERT_EQ(lock.Acquire(":77", error), CInstanceLock::Result::Acquired) << error;
    EXPECT_EQ(CInstanceLock::LockPath(":77", error), fallback / "wendrel-display-77.lock");
    struct stat info {};
    ASSERT_EQ(lstat(fallback.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(again.Acquire(":77", error), CInstanceLock::Result::Held);

    // One that others could write in is refused, not trusted.
    lock.Release();
    ASSERT_EQ(chmod(fallback.c_str(), 0777), 0);
    EXPECT_EQ(again.Acquire(":77", error), CInstanceLock::Result::Failed);
    EXPECT_NE(error.find("not a private directory"), std::string::npos) << error;
    ASSERT_EQ(chmod(fallback.c_str(), 0700), 0);
    fs::remove(fallback / "wendrel-display-77.lock");
    std::error_code ignored;
    if (!fallbackExisted)
        fs::remove(fallback, ignored);

    // A link planted where the lock file goes is not followed.
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    fs::create_symlink(runtime / "elsewhere", runtime / "wendrel-display-8.lock");
    EXPECT_EQ(lock.Acquire(":8", error), CInstanceLock::Result::Failed);
    EXPECT_FALSE(fs::exists(runtime / "elsewhere"));
}

}  // namespace
}  // namespace wendrel::linux_app
