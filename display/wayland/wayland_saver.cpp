#include "display/wayland/wayland_saver.h"

#include <wayland-client.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace wendrel::display::wayland {

CWaylandSaver::CWaylandSaver(CWaylandSession& session, SurfaceRole role)
    : m_session(session), m_role(role) {}

CWaylandSaver::~CWaylandSaver() {
    m_session.SetListener(nullptr);
    m_surfaces.clear();
    m_session.Flush();
}

bool CWaylandSaver::Create(std::string& error) {
    if (m_role == SurfaceRole::Background && m_session.LayerShell() == nullptr) {
        error = "the Wayland compositor offers no background layer (zwlr_layer_shell_v1)";
        return false;
    }
    if (m_session.LayerShell() == nullptr && m_session.WmBase() == nullptr) {
        error = "the Wayland compositor offers neither layer-shell nor xdg-shell surfaces";
        return false;
    }
    m_input.Reset();
    m_session.SetListener(this);
    if (!m_strFault.empty()) {
        error = m_strFault;
        return false;
    }
    return true;
}

void CWaylandSaver::Cover(Output& output) {
    auto surface = std::make_unique<COutputSurface>(m_session, output, m_role);
    std::string error;
    if (!surface->Create(error)) {
        m_strFault = error;
        m_bClose = true;
        return;
    }
    m_surfaces.push_back(std::move(surface));
}

void CWaylandSaver::OnOutputAdded(Output& output) {
    Cover(output);
}

void CWaylandSaver::OnOutputRemoved(Output& output) {
    std::erase_if(m_surfaces, [&](const std::unique_ptr<COutputSurface>& surface) {
        if (&surface->TheOutput() != &output)
            return false;
        if (m_pPointerOver == surface.get())
            m_pPointerOver = nullptr;
        return true;
    });
}

COutputSurface* CWaylandSaver::Find(wl_surface* surface) const {
    for (const auto& ours : m_surfaces) {
        if (surface != nullptr && ours->Surface() == surface)
            return ours.get();
    }
    return nullptr;
}

void CWaylandSaver::PointerAt(double x, double y) {
    if (m_pPointerOver == nullptr || !Saver())
        return;
    const Output& output = m_pPointerOver->TheOutput();
    const auto gx = static_cast<std::int32_t>(std::floor(output.x + x));
    const auto gy = static_cast<std::int32_t>(std::floor(output.y + y));
    m_bClose = m_input.OnPointerAt(gx, gy) || m_bClose;
}

void CWaylandSaver::OnPointerEnter(std::uint32_t serial, wl_surface* surface, double x, double y) {
    m_pPointerOver = Find(surface);
    if (m_pPointerOver == nullptr || !Saver())
        return;
    m_session.HideCursor(serial);
    PointerAt(x, y);
}

void CWaylandSaver::OnPointerLeave(wl_surface* surface) {
    if (m_pPointerOver != nullptr && m_pPointerOver->Surface() == surface)
        m_pPointerOver = nullptr;
}

void CWaylandSaver::OnPointerMotion(double x, double y) {
    PointerAt(x, y);
}

void CWaylandSaver::OnPointerButton(bool pressed) {
    m_bClose = (Saver() && CInputRule::OnButton(pressed)) || m_bClose;
}

void CWaylandSaver::OnPointerScroll() {
    m_bClose = (Saver() && CInputRule::OnScroll()) || m_bClose;
}

void CWaylandSaver::OnKey(bool pressed) {
    m_bClose = (Saver() && CInputRule::OnKey(pressed)) || m_bClose;
}

void CWaylandSaver::OnKeyboardEnter(wl_surface* surface) {
    if (Find(surface) != nullptr)
        m_input.OnKeyboardEnter();
}

void CWaylandSaver::OnKeyboardLeave(wl_surface* /*surface*/) {
    if (Saver())
        m_input.OnKeyboardLeave(SteadyMilliseconds());
}

void CWaylandSaver::ShowFrame(const std::uint8_t* frame, const FrameChanges* changes,
                              std::uint64_t number) {
    m_history.Record(number, changes);
    for (const auto& surface : m_surfaces)
        surface->Present(frame, m_history);
}

std::uint64_t CWaylandSaver::SteadyMilliseconds() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

bool CWaylandSaver::OnIdle(std::uint64_t nowMilliseconds) {
    if (Saver() && m_input.OnIdle(nowMilliseconds))
        m_bClose = true;
    // A saver asked to close by the compositor ends; a closed layer
    // surface over an output that is still there is made anew, though not
    // over and over when the compositor keeps closing it.
    for (auto& surface : m_surfaces) {
        if (!surface->Closed())
            continue;
        if (Saver() && m_session.LayerShell() == nullptr) {
            m_bClose = true;
            continue;
        }
        if (nowMilliseconds < m_nNextRemake)
            continue;
        m_nNextRemake = nowMilliseconds + kRemakeMilliseconds;
        Output& output = surface->TheOutput();
        if (m_pPointerOver == surface.get())
            m_pPointerOver = nullptr;
        surface = std::make_unique<COutputSurface>(m_session, output, m_role);
        std::string error;
        if (!surface->Create(error)) {
            m_strFault = error;
            m_bClose = true;
        }
    }
    return m_bClose;
}

}  // namespace wendrel::display::wayland
