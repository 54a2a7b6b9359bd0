#include "display/wayland/wayland_session.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace wendrel::display::wayland {

struct SessionListeners {
    static CSessionListener* Of(void* data) {
        return static_cast<CWaylandSession*>(data)->m_pListener;
    }

    static constexpr wl_registry_listener kRegistry = {
        .global = &CWaylandSession::OnGlobal,
        .global_remove = &CWaylandSession::OnGlobalRemove,
    };

    static constexpr wl_output_listener kOutput = {
        .geometry =
            [](void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
               std::int32_t, const char*, const char*, std::int32_t) {
                auto* output = static_cast<Output*>(data);
                output->x = x;
                output->y = y;
            },
        .mode =
            [](void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
               std::int32_t) {
                if ((flags & WL_OUTPUT_MODE_CURRENT) == 0)
                    return;
                auto* output = static_cast<Output*>(data);
                output->width = width;
                output->height = height;
            },
        .done = [](void*, wl_output*) {},
        .scale = [](void*, wl_output*, std::int32_t) {},
        .name = [](void*, wl_output*, const char*) {},
        .description = [](void*, wl_output*, const char*) {},
    };

    static constexpr wl_seat_listener kSeat = {
        .capabilities = &CWaylandSession::OnSeatCapabilities,
        .name = [](void*, wl_seat*, const char*) {},
    };

    static constexpr wl_pointer_listener kPointer = {
        .enter =
            [](void* data, wl_pointer*, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
               wl_fixed_t y) {
                if (CSessionListener* listener = Of(data))
                    listener->OnPointerEnter(serial, surface, wl_fixed_to_double(x),
                                             wl_fixed_to_double(y));
            },
        .leave =
            [](void* data, wl_pointer*, std::uint32_t, wl_surface* surface) {
                if (CSessionListener* listener = Of(data))
                    listener->OnPointerLeave(surface);
            },
        .motion =
            [](void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
                if (CSessionListener* listener = Of(data))
                    listener->OnPointerMotion(wl_fixed_to_double(x), wl_fixed_to_double(y));
            },
        .button =
            [](void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
               std::uint32_t state) {
                if (CSessionListener* listener = Of(data))
                    listener->OnPointerButton(state == WL_POINTER_BUTTON_STATE_PRESSED);
            },
        .axis =
            [](void* data, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {
                if (CSessionListener* listener = Of(data))
                    listener->OnPointerScroll();
            },
        .frame = [](void*, wl_pointer*) {},
        .axis_source = [](void*, wl_pointer*, std::uint32_t) {},
        .axis_stop = [](void*, wl_pointer*, std::uint32_t, std::uint32_t) {},
        .axis_discrete = [](void*, wl_pointer*, std::uint32_t, std::int32_t) {},
        .axis_value120 = [](void*, wl_pointer*, std::uint32_t, std::int32_t) {},
    };

    static constexpr wl_keyboard_listener kKeyboard = {
        .keymap =
            [](void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) {
                close(fd);  // any key ends the saver: which one it was does not matter
            },
        .enter =
            [](void* data, wl_keyboard*, std::uint32_t, wl_surface* surface, wl_array*) {
                if (CSessionListener* listener = Of(data))
                    listener->OnKeyboardEnter(surface);
            },
        .leave =
            [](void* data, wl_keyboard*, std::uint32_t, wl_surface* surface) {
                if (CSessionListener* listener = Of(data))
                    listener->OnKeyboardLeave(surface);
            },
        .key =
            [](void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
               std::uint32_t state) {
                if (CSessionListener* listener = Of(data))
                    listener->OnKey(state == WL_KEYBOARD_KEY_STATE_PRESSED);
            },
        .modifiers = [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                        std::uint32_t, std::uint32_t) {},
        .repeat_info = [](void*, wl_keyboard*, std::int32_t, std::int32_t) {},
    };

    static constexpr xdg_wm_base_listener kWmBase = {
        .ping = [](void*, xdg_wm_base* base,
                   std::uint32_t serial) { xdg_wm_base_pong(base, serial); },
    };
};

namespace {

// The newest version of a global both sides know.
std::uint32_t Version(std::uint32_t offered, std::uint32_t ours) {
    return std::min(offered, ours);
}

// libwayland's own messages would add lines of their own to the one the
// saver writes when the connection fails; the last one is kept, as it holds
// the compositor's words for a protocol error ("IFACE@ID: error CODE: WHAT").
// libwayland logs from the thread that calls it: the one dispatching.
char g_lastLog[256];

void QuietLog(const char* format, va_list args) {
    std::vsnprintf(g_lastLog, sizeof g_lastLog, format, args);
    g_lastLog[std::strcspn(g_lastLog, "\n")] = '\0';
}

// What the compositor said with its last protocol error, or "".
std::string ErrorText() {
    const char* said = std::strstr(g_lastLog, ": error ");
    const char* text = said != nullptr ? std::strstr(said + 1, ": ") : nullptr;
    return text != nullptr ? text + 2 : "";
}

}  // namespace

CWaylandSession::CWaylandSession() = default;

CWaylandSession::~CWaylandSession() {
    m_pListener = nullptr;
    for (const auto& output : m_outputs) {
        if (wl_output_get_version(output->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
            wl_output_release(output->output);
        else
            wl_output_destroy(output->output);
    }
    m_outputs.clear();
    if (m_pPointer != nullptr)
        wl_pointer_destroy(m_pPointer);
    if (m_pKeyboard != nullptr)
        wl_keyboard_destroy(m_pKeyboard);
    if (m_pSeat != nullptr)
        wl_seat_destroy(m_pSeat);
    if (m_pLayerShell != nullptr)
        zwlr_layer_shell_v1_destroy(m_pLayerShell);
    if (m_pWmBase != nullptr)
        xdg_wm_base_destroy(m_pWmBase);
    if (m_pViewporter != nullptr)
        wp_viewporter_destroy(m_pViewporter);
    if (m_pShm != nullptr)
        wl_shm_destroy(m_pShm);
    if (m_pCompositor != nullptr)
        wl_compositor_destroy(m_pCompositor);
    if (m_pRegistry != nullptr)
        wl_registry_destroy(m_pRegistry);
    if (m_pDisplay != nullptr) {
        wl_display_flush(m_pDisplay);
        wl_display_disconnect(m_pDisplay);
    }
    if (m_wakeFd >= 0)
        close(m_wakeFd);
}

std::string CWaylandSession::SessionName() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return "wayland-" + std::string(name != nullptr && *name != '\0' ? name : "0");
}

bool CWaylandSession::Connect(std::string& error) {
    wl_log_set_handler_client(&QuietLog);
    g_lastLog[0] = '\0';
    m_pDisplay = wl_display_connect(nullptr);
    if (m_pDisplay == nullptr) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        error = std::string("cannot reach the Wayland compositor ") +
                (name != nullptr && *name != '\0' ? name : "wayland-0") + ": " +
                std::strerror(errno);
        return false;
    }
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        error = std::string("cannot make an event counter: ") + std::strerror(errno);
        return false;
    }
    m_pRegistry = wl_display_get_registry(m_pDisplay);
    wl_registry_add_listener(m_pRegistry, &SessionListeners::kRegistry, this);
    // The globals, then what the outputs and the seat tell of themselves.
    if (wl_display_roundtrip(m_pDisplay) < 0 || wl_display_roundtrip(m_pDisplay) < 0)
        return Failed(error);
    if (m_pCompositor == nullptr || m_pShm == nullptr) {
        error = "the Wayland compositor offers no wl_compositor or wl_shm";
        return false;
    }
    return true;
}

void CWaylandSession::SetListener(CSessionListener* listener) {
    m_pListener = listener;
    if (m_pListener == nullptr)
        return;
    for (const auto& output : m_outputs)
        m_pListener->OnOutputAdded(*output);
}

void CWaylandSession::OnGlobal(void* data, wl_registry* registry, std::uint32_t name,
                               const char* interface, std::uint32_t version) {
    auto* self = static_cast<CWaylandSession*>(data);
    const std::string_view which(interface);
    if (which == wl_compositor_interface.name && self->m_pCompositor == nullptr) {
        // Version 4 brings damage in buffer coordinates.
        self->m_nCompositorVersion = Version(version, 4);
        self->m_pCompositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, self->m_nCompositorVersion));
    } else if (which == wl_shm_interface.name && self->m_pShm == nullptr) {
        self->m_pShm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (which == wp_viewporter_interface.name && self->m_pViewporter == nullptr) {
        self->m_pViewporter = static_cast<wp_viewporter*>(
            wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
    } else if (which == zwlr_layer_shell_v1_interface.name && self->m_pLayerShell == nullptr) {
        // Never more than the compositor offers: KWin 5.27 offers 3, sway 1.7 4.
        self->m_pLayerShell = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, Version(version, 4)));
    } else if (which == xdg_wm_base_interface.name && self->m_pWmBase == nullptr) {
        self->m_pWmBase = static_cast<xdg_wm_base*>(
            wl_registry_bind(registry, name, &xdg_wm_base_interface, Version(version, 2)));
        xdg_wm_base_add_listener(self->m_pWmBase, &SessionListeners::kWmBase, self);
    } else if (which == wl_seat_interface.name && self->m_pSeat == nullptr) {
        self->m_nSeatName = name;
        self->m_nSeatVersion = Version(version, 5);
        self->m_pSeat = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, self->m_nSeatVersion));
        wl_seat_add_listener(self->m_pSeat, &SessionListeners::kSeat, self);
    } else if (which == wl_output_interface.name) {
        self->BindOutput(name, version);
    }
}

void CWaylandSession::BindOutput(std::uint32_t name, std::uint32_t version) {
    auto output = std::make_unique<Output>();
    output->name = name;
    output->output = static_cast<wl_output*>(
        wl_registry_bind(m_pRegistry, name, &wl_output_interface, Version(version, 3)));
    wl_output_add_listener(output->output, &SessionListeners::kOutput, output.get());
    m_outputs.push_back(std::move(output));
    if (m_pListener != nullptr)
        m_pListener->OnOutputAdded(*m_outputs.back());
}

void CWaylandSession::OnGlobalRemove(void* data, wl_registry* /*registry*/, std::uint32_t name) {
    auto* self = static_cast<CWaylandSession*>(data);
    const auto found = std::find_if(self->m_outputs.begin(), self->m_outputs.end(),
                                    [name](const auto& output) { return output->name == name; });
    if (found == self->m_outputs.end())
        return;
    if (self->m_pListener != nullptr)
        self->m_pListener->OnOutputRemoved(**found);
    wl_output* output = (*found)->output;
    if (wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(output);
    else
        wl_output_destroy(output);
    self->m_outputs.erase(found);
}

void CWaylandSession::OnSeatCapabilities(void* data, wl_seat* seat, std::uint32_t caps) {
    auto* self = static_cast<CWaylandSession*>(data);
    const bool pointer = (caps & WL_SEAT_CAPABILITY_POINTER) != 0;
    const bool keyboard = (caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool release = self->m_nSeatVersion >= WL_POINTER_RELEASE_SINCE_VERSION;
    if (pointer && self->m_pPointer == nullptr) {
        self->m_pPointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(self->m_pPointer, &SessionListeners::kPointer, self);
    } else if (!pointer && self->m_pPointer != nullptr) {
        release ? wl_pointer_release(self->m_pPointer) : wl_pointer_destroy(self->m_pPointer);
        self->m_pPointer = nullptr;
    }
    if (keyboard && self->m_pKeyboard == nullptr) {
        self->m_pKeyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(self->m_pKeyboard, &SessionListeners::kKeyboard, self);
    } else if (!keyboard && self->m_pKeyboard != nullptr) {
        release ? wl_keyboard_release(self->m_pKeyboard) : wl_keyboard_destroy(self->m_pKeyboard);
        self->m_pKeyboard = nullptr;
    }
}

bool CWaylandSession::Failed(std::string& error) const {
    const int code = wl_display_get_error(m_pDisplay);
    const wl_interface* interface = nullptr;
    std::uint32_t id = 0;
    const std::uint32_t which = wl_display_get_protocol_error(m_pDisplay, &interface, &id);
    // An error on any object but wl_display reads as EPROTO; wl_display's
    // own (a request on no object, a bad request) as EINVAL, ENOMEM or
    // EFAULT, told apart from a local failure by the interface it names.
    if (code == EPROTO || (code != 0 && interface == &wl_display_interface)) {
        const std::string said = ErrorText();
        error = "the Wayland compositor ended the connection for a protocol error (" +
                std::string(interface != nullptr ? interface->name : "destroyed object") +
                ", code " + std::to_string(which) + ")" + (said.empty() ? "" : ": " + said);
    } else {
        error = std::string("the Wayland compositor went away: ") +
                std::strerror(code != 0 ? code : EPIPE);
    }
    return false;
}

void CWaylandSession::Wake() {
    const std::uint64_t one = 1;
    // A full counter (never reached) already wakes the loop.
    [[maybe_unused]] const ssize_t written = write(m_wakeFd, &one, sizeof one);
}

void CWaylandSession::Flush() {
    wl_display_flush(m_pDisplay);
}

void CWaylandSession::HideCursor(std::uint32_t serial) {
    if (m_pPointer != nullptr)
        wl_pointer_set_cursor(m_pPointer, serial, nullptr, 0, 0);
}

bool CWaylandSession::Read(short events, int timeoutMilliseconds, pollfd* wake,
                           std::string& error) {
    while (wl_display_prepare_read(m_pDisplay) != 0) {
        if (wl_display_dispatch_pending(m_pDisplay) < 0)
            return Failed(error);
    }
    pollfd fds[2] = {{wl_display_get_fd(m_pDisplay), events, 0},
                     wake != nullptr ? *wake : pollfd{-1, 0, 0}};
    const int ready = poll(fds, wake != nullptr ? 2 : 1, timeoutMilliseconds);
    if (ready > 0 && (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
        if (wl_display_read_events(m_pDisplay) < 0)
            return Failed(error);
    } else {
        wl_display_cancel_read(m_pDisplay);
    }
    if (wake != nullptr)
        *wake = fds[1];
    if (wl_display_dispatch_pending(m_pDisplay) < 0)
        return Failed(error);
    return true;
}

bool CWaylandSession::Dispatch(int timeoutMilliseconds, bool& woken, std::string& error) {
    woken = false;
    // What the compositor sent is handled before anything is sent: after a
    // protocol error it closes the connection, and a send that finds it
    // reset makes libwayland drop the error unread.
    if (!Read(POLLIN, 0, nullptr, error))
        return false;
    short wayland = POLLIN;
    if (wl_display_flush(m_pDisplay) < 0) {
        if (errno == EAGAIN)
            wayland |= POLLOUT;  // the socket is full: wait until it takes more
        else if (errno != EPIPE)
            return Failed(error);
        // A closed socket may still hold what the compositor said last, a
        // protocol error for one: the read below finds it, or the end.
    }
    pollfd wake{m_wakeFd, POLLIN, 0};
    if (!Read(wayland, timeoutMilliseconds, &wake, error))
        return false;
    if ((wake.revents & POLLIN) != 0) {
        std::uint64_t count = 0;
        woken = read(m_wakeFd, &count, sizeof count) == sizeof count;
    }
    return true;
}

}  // namespace wendrel::display::wayland
