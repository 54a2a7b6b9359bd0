#pragma once

#include <string>

namespace wendrel::linux_app {

// Keeps a second full-screen saver off a display where one runs: an
// advisory lock (flock) on a file named after the display, in
// $XDG_RUNTIME_DIR, or when that is unset in a directory of the user's
// own under /tmp. The kernel drops the lock with the last descriptor of
// it, so a crashed saver never blocks the next one; a child that inherits
// the descriptor (the display mode watcher) holds it until it ends.
class CInstanceLock {
  public:
    enum class Result {
        Acquired,  // this process holds the lock
        Held,      // another saver holds it
        Failed,    // no lock could be made (reason in `error`)
    };

    CInstanceLock() = default;
    ~CInstanceLock() { Release(); }
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    // `displayName` is $DISPLAY; only its host and display number count,
    // so that ":0", ":0.1", "unix:0" and "localhost:0" share a lock.
    Result Acquire(const std::string& displayName, std::string& error);
    void Release();

    // The file the lock of `displayName` is kept on; empty when no safe
    // directory for it exists (reason in `error`).
    static std::string LockPath(const std::string& displayName, std::string& error);

  private:
    int m_fd = -1;
};

}  // namespace wendrel::linux_app
