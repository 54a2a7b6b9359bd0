#pragma once

#include <sys/types.h>

#include <string>

namespace wendrel::display {

// Keeps the display from being left in the saver's mode, however the saver
// ends: a child process that records the display's mode when it starts and
// holds one end of a socket pair from the saver. When the saver's end
// closes (the saver ended, or was killed) without the saver having said
// that it gave the mode back itself, the watcher puts the recorded mode
// back and exits. It ignores the terminal's and the session's signals, so
// that it outlives the saver only by that restore.
class CModeWatcher {
  public:
    CModeWatcher() = default;
    ~CModeWatcher() { Finish(false); }
    CModeWatcher(const CModeWatcher&) = delete;
    CModeWatcher& operator=(const CModeWatcher&) = delete;

    // Starts the watcher for the display named by $DISPLAY and waits until
    // it has recorded that display's mode. Call it while the process runs
    // one thread only (before SDL is started): the child goes on with a
    // copy of the process and talks to X through Xlib. False, with the
    // reason in `error`, when the watcher could not record the mode; then
    // nothing is left running and the mode must not be switched.
    bool Start(std::string& error);
    bool IsRunning() const { return m_fd >= 0; }
    pid_t Pid() const { return m_pid; }

    // Ends the watch: with `restored`, the watcher is told that the saver
    // gave the mode back, and touches nothing; otherwise it restores the
    // mode if it differs. Waits a short while for the watcher's end.
    void Finish(bool restored);

  private:
    int m_fd = -1;
    pid_t m_pid = -1;
};

}  // namespace wendrel::display
