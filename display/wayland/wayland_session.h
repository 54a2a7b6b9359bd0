#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct pollfd;
struct wl_display;
struct wl_registry;
struct wl_compositor;
struct wl_shm;
struct wl_seat;
struct wl_pointer;
struct wl_keyboard;
struct wl_output;
struct wl_surface;
struct wp_viewporter;
struct xdg_wm_base;
struct zwlr_layer_shell_v1;

namespace wendrel::display::wayland {

// One output of the compositor, as wl_output describes it: its place in
// the compositor's global space and its current mode.
struct Output {
    std::uint32_t name = 0;  // the registry's name of the global
    wl_output* output = nullptr;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// What the session hears, on the thread that dispatches it. Surfaces are
// ours only; `surface` is null for one already destroyed.
class CSessionListener {
  public:
    virtual ~CSessionListener() = default;
    virtual void OnOutputAdded(Output& output) = 0;
    // The output is going: nothing may use it after this returns.
    virtual void OnOutputRemoved(Output& output) = 0;
    virtual void OnPointerEnter(std::uint32_t serial, wl_surface* surface, double x, double y) = 0;
    virtual void OnPointerLeave(wl_surface* surface) = 0;
    virtual void OnPointerMotion(double x, double y) = 0;
    virtual void OnPointerButton(bool pressed) = 0;
    virtual void OnPointerScroll() = 0;
    virtual void OnKey(bool pressed) = 0;
    virtual void OnKeyboardEnter(wl_surface* surface) = 0;
    virtual void OnKeyboardLeave(wl_surface* surface) = 0;
};

// The connection to the Wayland compositor and the globals the saver uses.
// Everything here runs on the thread that made it, but Wake, which any
// thread may call to cut the wait of Dispatch short.
class CWaylandSession {
  public:
    CWaylandSession();
    ~CWaylandSession();
    CWaylandSession(const CWaylandSession&) = delete;
    CWaylandSession& operator=(const CWaylandSession&) = delete;

    // Connects to $WAYLAND_DISPLAY (or the default) and learns the globals,
    // outputs and seat. False, with a reason, when no compositor answers or
    // it lacks what every saver needs (wl_compositor, wl_shm).
    bool Connect(std::string& error);
    // The listener gets every output bound from now on, those already known
    // first.
    void SetListener(CSessionListener* listener);

    // Sends what is queued, waits up to `timeoutMilliseconds` for events or
    // a Wake, and handles what came. `woken` tells whether Wake was called.
    // False, with one line in `error`, when the connection failed (the
    // compositor went away, or a protocol error).
    bool Dispatch(int timeoutMilliseconds, bool& woken, std::string& error);
    void Wake();
    // Sends what is queued, waiting for the compositor to take it.
    void Flush();
    // No cursor over our surface that the pointer entered with `serial`.
    void HideCursor(std::uint32_t serial);

    wl_display* Display() const { return m_pDisplay; }
    wl_compositor* Compositor() const { return m_pCompositor; }
    std::uint32_t CompositorVersion() const { return m_nCompositorVersion; }
    wl_shm* Shm() const { return m_pShm; }
    wp_viewporter* Viewporter() const { return m_pViewporter; }
    zwlr_layer_shell_v1* LayerShell() const { return m_pLayerShell; }
    xdg_wm_base* WmBase() const { return m_pWmBase; }
    const std::vector<std::unique_ptr<Output>>& Outputs() const { return m_outputs; }

    // Not a name of an X display: what the session is known by, for the
    // one-saver-per-session lock.
    static std::string SessionName();

  private:
    static void OnGlobal(void* data, wl_registry* registry, std::uint32_t name,
                         const char* interface, std::uint32_t version);
    static void OnGlobalRemove(void* data, wl_registry* registry, std::uint32_t name);
    static void OnSeatCapabilities(void* data, wl_seat* seat, std::uint32_t caps);
    void BindOutput(std::uint32_t name, std::uint32_t version);
    // Waits up to `timeoutMilliseconds` for `events` on the connection (and
    // for `wake`, whose revents are set), then reads and handles what came.
    bool Read(short events, int timeoutMilliseconds, pollfd* wake, std::string& error);
    bool Failed(std::string& error) const;

    friend struct SessionListeners;

    wl_display* m_pDisplay = nullptr;
    wl_registry* m_pRegistry = nullptr;
    wl_compositor* m_pCompositor = nullptr;
    std::uint32_t m_nCompositorVersion = 0;
    wl_shm* m_pShm = nullptr;
    wp_viewporter* m_pViewporter = nullptr;
    zwlr_layer_shell_v1* m_pLayerShell = nullptr;
    xdg_wm_base* m_pWmBase = nullptr;
    wl_seat* m_pSeat = nullptr;
    std::uint32_t m_nSeatName = 0;
    std::uint32_t m_nSeatVersion = 0;
    wl_pointer* m_pPointer = nullptr;
    wl_keyboard* m_pKeyboard = nullptr;
    std::vector<std::unique_ptr<Output>> m_outputs;
    CSessionListener* m_pListener = nullptr;
    int m_wakeFd = -1;
};

}  // namespace wendrel::display::wayland
