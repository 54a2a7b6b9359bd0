// wendrel-wl-pointer: moves the pointer of a wlroots compositor (sway) to
// each given place in turn, through a virtual pointer, for tests that have
// no real one. Places are in the compositor's global space, whose bounding
// box is WIDTH x HEIGHT. With --hold the pointer stays in the seat after
// the last move ("moved" on stdout then) until SIGTERM or SIGINT: sway
// shows a cursor only while the seat has a pointer.
#include <unistd.h>
#include <wayland-client.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t /*version*/) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr)
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}

bool Number(const char* text, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return *text != '\0' && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
    const bool hold = argc > 1 && std::strcmp(argv[1], "--hold") == 0;
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    if (hold)
        sigprocmask(SIG_BLOCK, &stop, nullptr);
    std::vector<long> values;
    for (int i = hold ? 2 : 1; i < argc; ++i) {
        long value = 0;
        if (!Number(argv[i], value) || value < 0) {
            values.clear();
            break;
        }
        values.push_back(value);
    }
    if (values.size() < 4 || values.size() % 2 != 0 || values[0] <= 0 || values[1] <= 0) {
        std::fputs("usage: wendrel-wl-pointer [--hold] WIDTH HEIGHT X Y [X Y]...\n", stderr);
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fputs("wendrel-wl-pointer: no Wayland compositor\n", stderr);
        return 1;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    static const wl_registry_listener listener = {&OnGlobal, &OnGlobalRemove};
    wl_registry_add_listener(registry, &listener, &globals);
    wl_display_roundtrip(display);
    if (globals.manager == nullptr) {
        std::fputs("wendrel-wl-pointer: the compositor has no virtual pointers\n", stderr);
        if (globals.seat != nullptr)
            wl_seat_destroy(globals.seat);
        wl_registry_destroy(registry);
        wl_display_disconnect(display);
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    wl_display_roundtrip(display);
    // The seat gains its pointer with the device: give clients a moment to
    // bind it before the first move.
    usleep(500000);
    std::uint32_t time = 1;
    const auto width = static_cast<std::uint32_t>(values[0]);
    const auto height = static_cast<std::uint32_t>(values[1]);
    for (std::size_t i = 2; i < values.size(); i += 2) {
        zwlr_virtual_pointer_v1_motion_absolute(
            pointer, time++, static_cast<std::uint32_t>(values[i]),
            static_cast<std::uint32_t>(values[i + 1]), width, height);
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        usleep(300000);
    }
    if (hold) {
        std::puts("moved");
        std::fflush(stdout);
        int signal = 0;
        sigwait(&stop, &signal);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    zwlr_virtual_pointer_manager_v1_destroy(globals.manager);
    if (globals.seat != nullptr)
        wl_seat_destroy(globals.seat);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
