#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "display/raster/pixel_rect.h"
#include "display/raster/stretch_map.h"
#include "display/wayland/frame_history.h"
#include "display/wayland/shm_buffer.h"
#include "display/wayland/wayland_session.h"

struct wl_callback;
struct wp_viewport;
struct xdg_surface;
struct xdg_toplevel;
struct zwlr_layer_surface_v1;

namespace wendrel::display::wayland {

// What a surface is for.
enum class SurfaceRole {
    Saver,       // above everything, takes the keyboard and the pointer
    Background,  // below every window, takes no input
};

// The surface over one output, and its presenter. With layer-shell it lies
// on the overlay (saver) or background layer; without it, it is a toplevel
// made full screen on its output. With wp_viewporter its buffers are
// 640 x 480 frames, scaled to the output by the compositor; without it they
// have the surface's size and the frame is stretched into them. Each frame
// copies only what changed since the buffer it goes into last held a frame,
// into a buffer the compositor has released, and only when the compositor
// has asked for the next frame; otherwise the frame is dropped for this
// surface.
class COutputSurface {
  public:
    COutputSurface(CWaylandSession& session, Output& output, SurfaceRole role);
    ~COutputSurface();
    COutputSurface(const COutputSurface&) = delete;
    COutputSurface& operator=(const COutputSurface&) = delete;

    // Makes the surface and its role; the compositor sizes it later.
    bool Create(std::string& error);
    void Present(const std::uint8_t* frame, const CFrameHistory& history);

    Output& TheOutput() const { return m_output; }
    wl_surface* Surface() const { return m_pSurface; }
    // The compositor closed it (layer surface) or asked it to close
    // (toplevel).
    bool Closed() const { return m_bClosed; }

  private:
    friend struct SurfaceListeners;

    void Configure(std::int32_t width, std::int32_t height);
    CShmBuffer* FreeBuffer(std::string& error);
    // The rectangles of the buffer (its coordinates) that show `rects`
    // (frame coordinates); the whole buffer when `whole`.
    void ToBuffer(bool whole, const std::vector<PixelRect>& rects,
                  std::vector<PixelRect>& out) const;

    CWaylandSession& m_session;
    Output& m_output;
    SurfaceRole m_role;
    wl_surface* m_pSurface = nullptr;
    zwlr_layer_surface_v1* m_pLayerSurface = nullptr;
    xdg_surface* m_pXdgSurface = nullptr;
    xdg_toplevel* m_pToplevel = nullptr;
    wp_viewport* m_pViewport = nullptr;
    wl_callback* m_pFrameCallback = nullptr;
    std::array<std::unique_ptr<CShmBuffer>, 3> m_buffers;
    std::int32_t m_nWidth = 0;  // the surface's size, as the compositor set it
    std::int32_t m_nHeight = 0;
    bool m_bConfigured = false;
    bool m_bClosed = false;
    // A toplevel's size, told before the configure it belongs to.
    std::int32_t m_nPendingWidth = 0;
    std::int32_t m_nPendingHeight = 0;
    std::uint64_t m_nShown = 0;  // the compose number of the frame last committed
    CStretchMap m_map;
    std::vector<PixelRect> m_changed;
    std::vector<PixelRect> m_bufferRects;
};

}  // namespace wendrel::display::wayland
