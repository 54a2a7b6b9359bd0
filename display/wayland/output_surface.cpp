#include "display/wayland/output_surface.h"

#include <wayland-client.h>

#include <climits>

#include "display/raster/stretch_painter.h"
#include "display/wayland/pixel_copy.h"
#include "scene/frame_buffer.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace wendrel::display::wayland {

struct SurfaceListeners {
    static COutputSurface* Of(void* data) { return static_cast<COutputSurface*>(data); }

    static constexpr wl_callback_listener kFrame = {
        .done =
            [](void* data, wl_callback* callback, std::uint32_t) {
                wl_callback_destroy(callback);
                Of(data)->m_pFrameCallback = nullptr;
            },
    };

    static constexpr zwlr_layer_surface_v1_listener kLayer = {
        .configure =
            [](void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
               std::uint32_t height) {
                zwlr_layer_surface_v1_ack_configure(layer, serial);
                Of(data)->Configure(static_cast<std::int32_t>(width),
                                    static_cast<std::int32_t>(height));
            },
        .closed = [](void* data, zwlr_layer_surface_v1*) { Of(data)->m_bClosed = true; },
    };

    static constexpr xdg_surface_listener kXdgSurface = {
        .configure =
            [](void* data, xdg_surface* surface, std::uint32_t serial) {
                xdg_surface_ack_configure(surface, serial);
                COutputSurface* self = Of(data);
                self->Configure(self->m_nPendingWidth, self->m_nPendingHeight);
            },
    };

    static constexpr xdg_toplevel_listener kToplevel = {
        .configure =
            [](void* data, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*) {
                Of(data)->m_nPendingWidth = width;
                Of(data)->m_nPendingHeight = height;
            },
        .close = [](void* data, xdg_toplevel*) { Of(data)->m_bClosed = true; },
        .configure_bounds = [](void*, xdg_toplevel*, std::int32_t, std::int32_t) {},
        .wm_capabilities = [](void*, xdg_toplevel*, wl_array*) {},
    };
};

namespace {

constexpr PixelRect kWholeFrame{0, 0, kFrameWidth, kFrameHeight};
// XRGB8888 in memory: blue, green, red, unused.
constexpr PixelShifts kXrgbShifts{16, 8, 0};

}  // namespace

COutputSurface::COutputSurface(CWaylandSession& session, Output& output, SurfaceRole role)
    : m_session(session), m_output(output), m_role(role) {}

COutputSurface::~COutputSurface() {
    if (m_pFrameCallback != nullptr)
        wl_callback_destroy(m_pFrameCallback);
    if (m_pViewport != nullptr)
        wp_viewport_destroy(m_pViewport);
    if (m_pLayerSurface != nullptr)
        zwlr_layer_surface_v1_destroy(m_pLayerSurface);
    if (m_pToplevel != nullptr)
        xdg_toplevel_destroy(m_pToplevel);
    if (m_pXdgSurface != nullptr)
        xdg_surface_destroy(m_pXdgSurface);
    if (m_pSurface != nullptr)
        wl_surface_destroy(m_pSurface);
    // The buffers last: the surface that showed one is gone.
    for (auto& buffer : m_buffers)
        buffer.reset();
}

bool COutputSurface::Create(std::string& error) {
    m_pSurface = wl_compositor_create_surface(m_session.Compositor());
    wl_surface_set_user_data(m_pSurface, this);
    if (m_session.Viewporter() != nullptr)
        m_pViewport = wp_viewporter_get_viewport(m_session.Viewporter(), m_pSurface);
    if (m_role == SurfaceRole::Background) {
        // Clicks and the pointer go through to the desktop beneath.
        wl_region* nothing = wl_compositor_create_region(m_session.Compositor());
        wl_surface_set_input_region(m_pSurface, nothing);
        wl_region_destroy(nothing);
    }
    if (zwlr_layer_shell_v1* shell = m_session.LayerShell()) {
        const std::uint32_t layer = m_role == SurfaceRole::Saver
                                        ? ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY
                                        : ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND;
        m_pLayerSurface = zwlr_layer_shell_v1_get_layer_surface(shell, m_pSurface, m_output.output,
                                                                layer, "wendrel");
        zwlr_layer_surface_v1_add_listener(m_pLayerSurface, &SurfaceListeners::kLayer, this);
        zwlr_layer_surface_v1_set_anchor(m_pLayerSurface, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                              ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                              ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                              ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_size(m_pLayerSurface, 0, 0);
        // Over panels too, and not moved aside by them.
        zwlr_layer_surface_v1_set_exclusive_zone(m_pLayerSurface, -1);
        // (1 is "exclusive" in every version; before 4 the value was a flag.)
        zwlr_layer_surface_v1_set_keyboard_interactivity(m_pLayerSurface,
                                                         m_role == SurfaceRole::Saver ? 1 : 0);
    } else if (m_session.WmBase() != nullptr && m_role == SurfaceRole::Saver) {
        m_pXdgSurface = xdg_wm_base_get_xdg_surface(m_session.WmBase(), m_pSurface);
        xdg_surface_add_listener(m_pXdgSurface, &SurfaceListeners::kXdgSurface, this);
        m_pToplevel = xdg_surface_get_toplevel(m_pXdgSurface);
        xdg_toplevel_add_listener(m_pToplevel, &SurfaceListeners::kToplevel, this);
        xdg_toplevel_set_title(m_pToplevel, "Wendrel");
        xdg_toplevel_set_app_id(m_pToplevel, "wendrel");
        xdg_toplevel_set_fullscreen(m_pToplevel, m_output.output);
    } else {
        error = m_role == SurfaceRole::Saver
                    ? "the Wayland compositor offers neither layer-shell nor xdg-shell surfaces"
                    : "the Wayland compositor offers no background layer (zwlr_layer_shell_v1)";
        return false;
    }
    wl_surface_commit(m_pSurface);
    return true;
}

void COutputSurface::Configure(std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) {
        width = m_output.width > 0 ? m_output.width : kFrameWidth;
        height = m_output.height > 0 ? m_output.height : kFrameHeight;
    }
    if (width != m_nWidth || height != m_nHeight || !m_bConfigured) {
        m_nWidth = width;
        m_nHeight = height;
        if (m_pViewport != nullptr)
            wp_viewport_set_destination(m_pViewport, width, height);
        else
            m_map.Resize(width, height);
        m_nShown = 0;  // the next frame goes whole
    }
    m_bConfigured = true;
}

CShmBuffer* COutputSurface::FreeBuffer(std::string& error) {
    const int width = m_pViewport != nullptr ? kFrameWidth : m_nWidth;
    const int height = m_pViewport != nullptr ? kFrameHeight : m_nHeight;
    CShmBuffer* best = nullptr;
    for (auto& buffer : m_buffers) {
        if (buffer && !buffer->Busy() && (buffer->Width() != width || buffer->Height() != height))
            buffer.reset();  // of a size that went; the compositor is done with it
        if (!buffer) {
            buffer = std::make_unique<CShmBuffer>();
            if (!buffer->Create(m_session.Shm(), width, height, error)) {
                buffer.reset();
                return nullptr;
            }
        }
        if (!buffer->Busy() && (best == nullptr || buffer->m_nHeld > best->m_nHeld))
            best = buffer.get();
    }
    return best;
}

void COutputSurface::ToBuffer(bool whole, const std::vector<PixelRect>& rects,
                              std::vector<PixelRect>& out) const {
    out.clear();
    if (m_pViewport != nullptr) {
        if (whole)
            out.push_back(kWholeFrame);
        else
            out = rects;
        return;
    }
    if (whole) {
        out.push_back(PixelRect{0, 0, m_nWidth, m_nHeight});
        return;
    }
    for (const PixelRect& rect : rects) {
        const PixelRect destination = m_map.DestinationOf(rect);
        if (destination.w > 0 && destination.h > 0)
            out.push_back(destination);
    }
}

void COutputSurface::Present(const std::uint8_t* frame, const CFrameHistory& history) {
    if (!m_bConfigured || m_bClosed || m_pFrameCallback != nullptr)
        return;  // not shown yet, or the compositor has not asked for more
    std::string error;
    CShmBuffer* buffer = FreeBuffer(error);
    if (buffer == nullptr)
        return;  // every buffer is still the compositor's: the frame is dropped here

    const bool part = history.ChangedSince(buffer->m_nHeld, m_changed);
    ToBuffer(!part, m_changed, m_bufferRects);
    for (const PixelRect& rect : m_bufferRects) {
        if (m_pViewport != nullptr)
            CopyFrameRect(frame, rect, buffer->Pixels(), buffer->Pitch());
        else
            StretchRect(frame, m_map, rect, kXrgbShifts, buffer->Pixels(), buffer->Pitch());
    }

    // The damage is what differs from the frame the surface shows now.
    const bool damagePart = history.ChangedSince(m_nShown, m_changed);
    if (m_session.CompositorVersion() < 4) {
        wl_surface_damage(m_pSurface, 0, 0, INT32_MAX, INT32_MAX);
    } else {
        ToBuffer(!damagePart, m_changed, m_bufferRects);
        for (const PixelRect& rect : m_bufferRects)
            wl_surface_damage_buffer(m_pSurface, rect.x, rect.y, rect.w, rect.h);
    }
    wl_surface_attach(m_pSurface, buffer->Buffer(), 0, 0);
    m_pFrameCallback = wl_surface_frame(m_pSurface);
    wl_callback_add_listener(m_pFrameCallback, &SurfaceListeners::kFrame, this);
    wl_surface_commit(m_pSurface);
    buffer->MarkBusy();
    buffer->m_nHeld = history.Last();
    m_nShown = history.Last();
}

}  // namespace wendrel::display::wayland
