// How the Wayland session tells the end of its connection, against a
// compositor of a few lines on the other end of a socket pair: what it
// said last (a protocol error, on wl_display or another object) is told
// whether the socket it closed had taken all the saver sent or not, and
// whether the saver has more to send.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <wayland-client.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "display/wayland/wayland_session.h"

namespace wendrel::display::wayland {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& out, std::uint32_t word) {
    out.resize(out.size() + sizeof word);
    std::memcpy(out.data() + out.size() - sizeof word, &word, sizeof word);
}

void PutString(Bytes& out, const std::string& text) {
    Put(out, static_cast<std::uint32_t>(text.size() + 1));
    out.insert(out.end(), text.begin(), text.end());
    out.resize(out.size() + 4 - text.size() % 4, 0);  // the NUL, then to 4
}

Bytes Event(std::uint32_t object, std::uint32_t opcode, const Bytes& arguments) {
    Bytes out;
    Put(out, object);
    Put(out, static_cast<std::uint32_t>((8 + arguments.size()) << 16 | opcode));
    out.insert(out.end(), arguments.begin(), arguments.end());
    return out;
}

std::uint32_t Word(const Bytes& bytes, std::size_t at) {
    std::uint32_t word = 0;
    std::memcpy(&word, &bytes[at], sizeof word);
    return word;
}

void Send(int fd, const Bytes& bytes) {
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

// The compositor's end: answers the session's set-up (the registry's
// globals, each sync) and notes the ids the client bound the globals as.
struct FakeCompositor {
    int fd = -1;
    std::map<std::string, std::uint32_t> bound;

    // Until the session's second round trip is answered, as Connect makes two.
    void ServeSetUp() {
        Bytes in;
        int syncs = 0;
        std::uint8_t buffer[4096];
        while (syncs < 2) {
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got <= 0)
                return;
            in.insert(in.end(), buffer, buffer + got);
            while (in.size() >= 8 && in.size() >= (Word(in, 4) >> 16)) {
                const std::uint32_t object = Word(in, 0);
                const std::uint32_t opcode = Word(in, 4) & 0xffff;
                const std::size_t size = Word(in, 4) >> 16;
                if (object == 1 && opcode == 1) {  // get_registry
                    Send(fd, Global(Word(in, 8), 1, "wl_compositor", 4));
                    Send(fd, Global(Word(in, 8), 2, "wl_shm", 1));
                } else if (object == 1 && opcode == 0) {  // sync: done, then the id is free
                    Bytes serial, id;
                    Put(serial, 7);
                    Put(id, Word(in, 8));
                    Send(fd, Event(Word(in, 8), 0, serial));
                    Send(fd, Event(1, 1, id));
                    ++syncs;
                } else if (opcode == 0 && size >= 20) {  // a registry's bind
                    const std::size_t length = Word(in, 12);
                    const std::size_t padded = (length + 3) & ~std::size_t{3};
                    bound[std::string(reinterpret_cast<const char*>(&in[16]), length - 1)] =
                        Word(in, 16 + padded + 4);
                }
                in.erase(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(size));
            }
        }
    }

    static Bytes Global(std::uint32_t registry, std::uint32_t name, const std::string& interface,
                        std::uint32_t version) {
        Bytes arguments;
        Put(arguments, name);
        PutString(arguments, interface);
        Put(arguments, version);
        return Event(registry, 0, arguments);
    }

    // Takes what the client sent since the set-up, so that closing makes
    // no reset.
    void Drain() const {
        std::uint8_t buffer[4096];
        pollfd ready{fd, POLLIN, 0};
        while (poll(&ready, 1, 0) > 0 && read(fd, buffer, sizeof buffer) > 0) {
        }
    }
};

struct Ending {
    const char* name;
    const char* errorOn;  // the object the compositor names, or none: it just goes
    bool drained;         // it took all the client sent before it closed
    bool moreToSend;      // the client has requests queued when it finds out
    const char* expected;
};

// (for the test's name in the listings)
void PrintTo(const Ending& ending, std::ostream* out) {
    *out << ending.name;
}

class WaylandSessionEnd : public ::testing::TestWithParam<Ending> {};

TEST_P(WaylandSessionEnd, TellsWhatTheCompositorSaidLast) {
    const Ending& ending = GetParam();
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
    FakeCompositor compositor{fds[1], {}};
    // libwayland takes a connected socket from $WAYLAND_SOCKET.
    setenv("WAYLAND_SOCKET", std::to_string(fds[0]).c_str(), 1);
    CWaylandSession session;
    std::string error;
    std::thread server([&compositor] { compositor.ServeSetUp(); });
    const bool connected = session.Connect(error);
    if (!connected)
        shutdown(fds[1], SHUT_RDWR);
    server.join();
    ASSERT_TRUE(connected) << error;
    ASSERT_EQ(compositor.bound.count("wl_compositor"), 1u);

    // Sent, and not read by the compositor unless it drains.
    wl_callback* unread = wl_display_sync(session.Display());
    session.Flush();
    if (ending.drained)
        compositor.Drain();
    if (ending.errorOn != nullptr) {
        const bool onDisplay = std::strcmp(ending.errorOn, "wl_display") == 0;
        Bytes arguments;
        Put(arguments, onDisplay ? 1 : compositor.bound["wl_compositor"]);
        Put(arguments, onDisplay ? 0 : 3);
        PutString(arguments, onDisplay ? "invalid object 99" : "the surface has no role");
        Send(fds[1], Event(1, 0, arguments));
    }
    close(fds[1]);
    wl_callback* queued = ending.moreToSend ? wl_display_sync(session.Display()) : nullptr;

    bool woken = false;
    EXPECT_FALSE(session.Dispatch(1000, woken, error));
    EXPECT_EQ(error, ending.expected);
    wl_callback_destroy(unread);
    if (queued != nullptr)
        wl_callback_destroy(queued);
}

constexpr const char* kDisplayError =
    "the Wayland compositor ended the connection for a protocol error (wl_display, code 0): "
    "invalid object 99";
constexpr const char* kCompositorError =
    "the Wayland compositor ended the connection for a protocol error (wl_compositor, code 3): "
    "the surface has no role";

INSTANTIATE_TEST_SUITE_P(
    Endings, WaylandSessionEnd,
    ::testing::Values(
        // A send into the closed socket fails (whether the compositor read
        // all it was sent or not): the error waiting to be read is still
        // what is told.
        Ending{"DisplayErrorUnreadSend", "wl_display", false, true, kDisplayError},
        Ending{"DisplayErrorDrainedSend", "wl_display", true, true, kDisplayError},
        Ending{"DisplayErrorNothingToSend", "wl_display", false, false, kDisplayError},
        Ending{"ObjectErrorUnreadSend", "wl_compositor", false, true, kCompositorError},
        Ending{"GoneWithoutAWord", nullptr, true, false,
               "the Wayland compositor went away: Broken pipe"}),
    [](const ::testing::TestParamInfo<Ending>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace wendrel::display::wayland
