#include "display/x11/mode_watcher.h"

#include <X11/Xlib.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "display/x11/randr_mode_record.h"

namespace wendrel::display {
namespace {

// What the two ends say: the watcher that it has recorded the mode (or a
// reason why not, after 'E'); the saver that it restored the mode itself.
constexpr char kReady = 'K';
constexpr char kFailed = 'E';
constexpr char kRestored = 'R';
// How long the saver waits for the watcher to record the mode, and at the
// end for the watcher to exit.
constexpr int kStartMilliseconds = 5000;
constexpr int kEndMilliseconds = 2000;

int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// The X server went away: there is no mode left to restore.
int EndOnXIoError(Display*) {
    _exit(0);
}

void Report(int fd, const std::string& reason) {
    const std::string message = kFailed + reason;
    [[maybe_unused]] const ssize_t sent = send(fd, message.data(), message.size(), MSG_NOSIGNAL);
}

// The watcher process. It exits through _exit: what the saver's copy of
// the process would run at its exit is not the watcher's to run.
[[noreturn]] void Watch(int fd) {
    // A terminal's Ctrl-C or hang-up goes to the whole process group, and
    // must not end the watcher before the saver: the end of the socket
    // pair alone ends it.
    setpgid(0, 0);
    for (int signal : {SIGINT, SIGHUP, SIGTERM, SIGQUIT, SIGPIPE, SIGTSTP, SIGTTIN, SIGTTOU})
        std::signal(signal, SIG_IGN);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);

    XSetErrorHandler(IgnoreXError);
    XSetIOErrorHandler(EndOnXIoError);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        Report(fd, "cannot open the X display");
        _exit(1);
    }
    CDisplayModeRecord record;
    std::string error;
    if (!record.Record(display, error)) {
        Report(fd, error);
        XCloseDisplay(display);
        _exit(1);
    }
    if (send(fd, &kReady, 1, MSG_NOSIGNAL) != 1)
        _exit(1);

    bool restored = false;
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {ConnectionNumber(display), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents != 0) {
            // Nothing is asked for; this reads what comes, and notices a
            // lost connection (which ends the watcher).
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
            }
        }
        if (fds[0].revents == 0)
            continue;
        char byte = 0;
        const ssize_t got = recv(fd, &byte, 1, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        restored = restored || byte == kRestored;
    }
    if (!restored && !record.Matches(display) && !record.Restore(display, error))
        std::fprintf(stderr, "wendrel: %s\n", error.c_str());
    XCloseDisplay(display);
    _exit(0);
}

// Waits up to `milliseconds` for the child's end; true once it is reaped.
bool Reap(pid_t pid, int milliseconds) {
    for (int waited = 0;; waited += 10) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD))
            return true;
        if (waited >= milliseconds)
            return false;
        usleep(10000);
    }
}

}  // namespace

bool CModeWatcher::Start(std::string& error) {
    Finish(false);
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        error = std::string("cannot start the display mode watcher: ") + std::strerror(errno);
        return false;
    }
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t pid = fork();
    if (pid < 0) {
        error = std::string("cannot start the display mode watcher: ") + std::strerror(errno);
        close(ends[0]);
        close(ends[1]);
        return false;
    }
    if (pid == 0) {
        close(ends[0]);
        Watch(ends[1]);
    }
    close(ends[1]);

    // The first thing the watcher says: ready, or why not.
    std::string answer;
    char buffer[256];
    pollfd wait{ends[0], POLLIN, 0};
    while (answer.empty() || answer[0] == kFailed) {
        const int ready = poll(&wait, 1, kStartMilliseconds);
        if (ready < 0 && errno == EINTR)
            continue;
        const ssize_t got = ready > 0 ? recv(ends[0], buffer, sizeof buffer, 0) : -1;
        if (got <= 0)
            break;
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    if (answer.empty() || answer[0] != kReady) {
        error = answer.size() > 1 ? answer.substr(1) : "the display mode watcher did not start";
        close(ends[0]);
        if (!Reap(pid, kEndMilliseconds)) {
            kill(pid, SIGKILL);
            Reap(pid, kEndMilliseconds);
        }
        return false;
    }
    m_fd = ends[0];
    m_pid = pid;
    return true;
}

void CModeWatcher::Finish(bool restored) {
    if (m_fd < 0)
        return;
    if (restored) {
        [[maybe_unused]] const ssize_t sent = send(m_fd, &kRestored, 1, MSG_NOSIGNAL);
    }
    close(m_fd);
    m_fd = -1;
    Reap(m_pid, kEndMilliseconds);
    m_pid = -1;
}

}  // namespace wendrel::display
