// wendrel-wl-filter: a Wayland socket in front of the compositor's, for
// tests that need a compositor lacking what the real one offers, or one that
// ends a client for a protocol error.
//   wendrel-wl-filter NAME [--hide IFACE[,IFACE]...]
// listens on $XDG_RUNTIME_DIR/NAME (there once it takes connections) and
// joins each client to $WAYLAND_DISPLAY, passing bytes and file descriptors
// both ways, without the globals of the hidden interfaces. SIGUSR1 sends,
// on behalf of every client connected, a request the compositor refuses
// with a protocol error. SIGTERM or SIGINT ends it. Each global hidden
// from a client is told on stderr.
#include <fcntl.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/support/wayland_filter/registry_filter.h"

namespace {

using wendrel::wl_filter::CRegistryFilter;

// libwayland reads at most 28 descriptors with one message batch.
constexpr std::size_t kMaxFdsOut = 28;
using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds kEndingTime{1};
// The most the kernel passes with one message.
constexpr std::size_t kMaxFdsIn = 253;
// A side that does not read is not sent more than this ahead.
constexpr std::size_t kMaxQueued = 8u << 20;

// What goes one way: whole messages and the descriptors that came with them
// (sent with the first bytes that go after they came, never later than the
// message they belong to).
struct Queue {
    std::vector<std::uint8_t> bytes;
    std::vector<int> fds;

    ~Queue() {
        for (int fd : fds)
            close(fd);
    }
};

struct Connection {
    int client = -1;
    int compositor = -1;
    CRegistryFilter filter;
    Queue toCompositor;
    Queue toClient;
    // One side closed or failed: what is queued goes, then both close.
    bool ending = false;
    std::chrono::steady_clock::time_point endBy;

    explicit Connection(std::set<std::string> hidden) : filter(std::move(hidden)) {}
    ~Connection() {
        close(client);
        close(compositor);
    }
};

void Complain(const std::string& message) {
    std::fprintf(stderr, "wendrel-wl-filter: %s\n", message.c_str());
}

std::string RuntimePath(const std::string& name) {
    if (!name.empty() && name[0] == '/')
        return name;
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    return std::string(dir != nullptr ? dir : "") + "/" + name;
}

bool Address(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int ConnectTo(const std::string& path) {
    sockaddr_un address;
    if (!Address(path, address))
        return -1;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    // A local socket connects at once or not at all.
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Reads what `from` has. False when it closed or failed.
bool Receive(int from, std::vector<std::uint8_t>& bytes, std::vector<int>& fds) {
    std::uint8_t buffer[65536];
    alignas(cmsghdr) char control[CMSG_SPACE(kMaxFdsIn * sizeof(int))];
    iovec io{buffer, sizeof buffer};
    msghdr message{};
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t got = recvmsg(from, &message, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
    if (got < 0)
        return errno == EAGAIN || errno == EINTR;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS)
            continue;
        const std::size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int fd = -1;
            std::memcpy(&fd, CMSG_DATA(header) + i * sizeof(int), sizeof fd);
            fds.push_back(fd);
        }
    }
    if ((message.msg_flags & MSG_CTRUNC) != 0)
        return false;  // descriptors were lost: the stream cannot be passed on whole
    bytes.assign(buffer, buffer + got);
    return got > 0;
}

// Sends what `queue` holds as far as `to` takes it. False when `to` failed.
bool Send(int to, Queue& queue) {
    while (!queue.bytes.empty()) {
        iovec io{queue.bytes.data(), queue.bytes.size()};
        msghdr message{};
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        const std::size_t count = std::min(queue.fds.size(), kMaxFdsOut);
        alignas(cmsghdr) char control[CMSG_SPACE(kMaxFdsOut * sizeof(int))];
        if (count > 0) {
            message.msg_control = control;
            message.msg_controllen = CMSG_SPACE(count * sizeof(int));
            cmsghdr* header = CMSG_FIRSTHDR(&message);
            header->cmsg_level = SOL_SOCKET;
            header->cmsg_type = SCM_RIGHTS;
            header->cmsg_len = CMSG_LEN(count * sizeof(int));
            std::memcpy(CMSG_DATA(header), queue.fds.data(), count * sizeof(int));
        }
        const ssize_t sent = sendmsg(to, &message, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent < 0)
            return errno == EAGAIN || errno == EINTR;
        queue.bytes.erase(queue.bytes.begin(), queue.bytes.begin() + sent);
        for (std::size_t i = 0; i < count; ++i)
            close(queue.fds[i]);
        queue.fds.erase(queue.fds.begin(), queue.fds.begin() + static_cast<std::ptrdiff_t>(count));
    }
    return true;
}

void Drop(Connection& connection, Queue& queue) {
    queue.bytes.clear();
    for (int fd : queue.fds)
        close(fd);
    queue.fds.clear();
    if (!connection.ending) {
        connection.ending = true;
        connection.endBy = Clock::now() + kEndingTime;
    }
}

// Moves what `from` has through the filter into `queue`. False when `from`
// closed or failed.
bool Pass(Connection& connection, bool fromClient) {
    std::vector<std::uint8_t> bytes;
    std::vector<int> fds;
    const bool open = Receive(fromClient ? connection.client : connection.compositor, bytes, fds);
    Queue& queue = fromClient ? connection.toCompositor : connection.toClient;
    queue.fds.insert(queue.fds.end(), fds.begin(), fds.end());
    if (fromClient)
        connection.filter.FromClient(bytes.data(), bytes.size(), queue.bytes);
    else
        connection.filter.FromCompositor(bytes.data(), bytes.size(), queue.bytes);
    // Told, so that a test knows its client never saw them.
    for (const std::string& interface : connection.filter.TakeHidden())
        Complain("hid " + interface + " from client " + std::to_string(connection.client));
    return open;
}

std::set<std::string> SplitList(const std::string& list) {
    std::set<std::string> names;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (comma > start)
            names.insert(list.substr(start, comma - start));
        start = comma + 1;
    }
    return names;
}

int Usage() {
    std::fputs("usage: wendrel-wl-filter NAME [--hide IFACE[,IFACE]...]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-')
        return Usage();
    std::set<std::string> hidden;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--hide") != 0 || i + 1 >= argc)
            return Usage();
        const std::set<std::string> names = SplitList(argv[++i]);
        hidden.insert(names.begin(), names.end());
    }
    const char* upstreamName = std::getenv("WAYLAND_DISPLAY");
    const std::string upstream =
        RuntimePath(upstreamName != nullptr && *upstreamName != '\0' ? upstreamName : "wayland-0");
    const std::string path = RuntimePath(argv[1]);
    const std::string building = path + ".new";
    sockaddr_un address;
    if (!Address(building, address)) {
        Complain("the socket's path is too long: " + building);
        return 1;
    }

    sigset_t signals;
    sigemptyset(&signals);
    for (int number : {SIGTERM, SIGINT, SIGUSR1})
        sigaddset(&signals, number);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);

    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    unlink(building.c_str());
    // Bound and listening under a passing name, then renamed: whoever sees
    // the socket can connect.
    if (signalFd < 0 || listener < 0 ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 16) != 0 || rename(building.c_str(), path.c_str()) != 0) {
        Complain("cannot listen on " + path + ": " + std::strerror(errno));
        unlink(building.c_str());
        return 1;
    }

    std::vector<std::unique_ptr<Connection>> connections;
    bool running = true;
    while (running) {
        std::vector<pollfd> fds{{signalFd, POLLIN, 0}, {listener, POLLIN, 0}};
        for (const auto& connection : connections) {
            // No more from a side while the other is far behind, or ending.
            const bool readClient =
                !connection->ending && connection->toCompositor.bytes.size() < kMaxQueued;
            const bool readCompositor =
                !connection->ending && connection->toClient.bytes.size() < kMaxQueued;
            const short toClient = connection->toClient.bytes.empty() ? 0 : POLLOUT;
            const short toCompositor = connection->toCompositor.bytes.empty() ? 0 : POLLOUT;
            fds.push_back(
                {connection->client, static_cast<short>((readClient ? POLLIN : 0) | toClient), 0});
            fds.push_back({connection->compositor,
                           static_cast<short>((readCompositor ? POLLIN : 0) | toCompositor), 0});
        }
        // An ending connection is given a moment to pass on what is queued.
        const bool ending = std::any_of(connections.begin(), connections.end(),
                                        [](const auto& connection) { return connection->ending; });
        if (poll(fds.data(), fds.size(), ending ? 50 : -1) < 0) {
            if (errno == EINTR)
                continue;
            Complain(std::string("poll failed: ") + std::strerror(errno));
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            signalfd_siginfo info{};
            while (read(signalFd, &info, sizeof info) == sizeof info) {
                if (info.ssi_signo != SIGUSR1) {
                    running = false;
                    continue;
                }
                if (connections.empty())
                    Complain("no client to send a bad request for");
                for (const auto& connection : connections) {
                    // The queue ends on a message's end: the filter passes
                    // whole messages only.
                    const std::vector<std::uint8_t> bad = CRegistryFilter::BadRequest();
                    connection->toCompositor.bytes.insert(connection->toCompositor.bytes.end(),
                                                          bad.begin(), bad.end());
                }
            }
        }
        // The connections polled; the ones accepted now are polled next time.
        for (std::size_t i = 0; i < connections.size(); ++i) {
            Connection& connection = *connections[i];
            const short clientEvents = fds[2 + 2 * i].revents;
            const short compositorEvents = fds[3 + 2 * i].revents;
            bool open = !connection.ending;
            if (open && (clientEvents & (POLLIN | POLLHUP | POLLERR)) != 0)
                open = Pass(connection, true);
            if (open && (compositorEvents & (POLLIN | POLLHUP | POLLERR)) != 0)
                open = Pass(connection, false);
            if (!open && !connection.ending) {
                connection.ending = true;
                connection.endBy = Clock::now() + kEndingTime;
            }
            // What is queued goes, even when ending (a compositor's last
            // word is the error it ends the client for); what a side that
            // failed cannot take is dropped.
            if (!Send(connection.client, connection.toClient))
                Drop(connection, connection.toClient);
            if (!Send(connection.compositor, connection.toCompositor))
                Drop(connection, connection.toCompositor);
        }
        const Clock::time_point now = Clock::now();
        std::erase_if(connections, [now](const std::unique_ptr<Connection>& connection) {
            return connection->ending && ((connection->toClient.bytes.empty() &&
                                           connection->toCompositor.bytes.empty()) ||
                                          now >= connection->endBy);
        });
        if ((fds[1].revents & POLLIN) != 0) {
            const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (client >= 0) {
                auto connection = std::make_unique<Connection>(hidden);
                connection->client = client;
                connection->compositor = ConnectTo(upstream);
                if (connection->compositor < 0)
                    Complain("cannot reach the compositor at " + upstream + ": " +
                             std::strerror(errno));
                else
                    connections.push_back(std::move(connection));
            }
        }
    }
    connections.clear();
    unlink(path.c_str());
    close(listener);
    close(signalFd);
    return 0;
}
