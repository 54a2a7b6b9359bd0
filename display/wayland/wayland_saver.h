#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "display/wayland/frame_history.h"
#include "display/wayland/input_rule.h"
#include "display/wayland/output_surface.h"
#include "display/wayland/wayland_session.h"

namespace wendrel::display::wayland {

// The saver's surfaces on Wayland: one over every output, made as outputs
// come and destroyed as they go, so that no output is ever left uncovered.
// As a saver it ends on input (CInputRule) on any of them, with the cursor
// hidden; as a background it takes no input at all. Runs on the thread
// that dispatches the session.
class CWaylandSaver : public CSessionListener {
  public:
    CWaylandSaver(CWaylandSession& session, SurfaceRole role);
    ~CWaylandSaver() override;
    CWaylandSaver(const CWaylandSaver&) = delete;
    CWaylandSaver& operator=(const CWaylandSaver&) = delete;

    // Covers the outputs known now and follows them from then on. False,
    // with a reason, when the compositor cannot give the surfaces the role
    // asks for.
    bool Create(std::string& error);
    // Frame `number` of the scene, and what it changed (null: everything).
    void ShowFrame(const std::uint8_t* frame, const FrameChanges* changes, std::uint64_t number);
    // The clock OnIdle is given.
    static std::uint64_t SteadyMilliseconds();
    // After each dispatch: true when the saver should end. A surface the
    // compositor closed is made anew while its output lasts.
    bool OnIdle(std::uint64_t nowMilliseconds);
    bool CloseRequested() const { return m_bClose; }
    // A fault that ends the saver (a surface that could not be made).
    const std::string& Fault() const { return m_strFault; }

    std::size_t SurfaceCount() const { return m_surfaces.size(); }

  private:
    void OnOutputAdded(Output& output) override;
    void OnOutputRemoved(Output& output) override;
    void OnPointerEnter(std::uint32_t serial, wl_surface* surface, double x, double y) override;
    void OnPointerLeave(wl_surface* surface) override;
    void OnPointerMotion(double x, double y) override;
    void OnPointerButton(bool pressed) override;
    void OnPointerScroll() override;
    void OnKey(bool pressed) override;
    void OnKeyboardEnter(wl_surface* surface) override;
    void OnKeyboardLeave(wl_surface* surface) override;

    COutputSurface* Find(wl_surface* surface) const;
    void Cover(Output& output);
    // The pointer at (x, y) of the surface it is over, in global space.
    void PointerAt(double x, double y);
    bool Saver() const { return m_role == SurfaceRole::Saver; }

    CWaylandSession& m_session;
    SurfaceRole m_role;
    std::vector<std::unique_ptr<COutputSurface>> m_surfaces;
    CFrameHistory m_history;
    CInputRule m_input;
    COutputSurface* m_pPointerOver = nullptr;
    static constexpr std::uint64_t kRemakeMilliseconds = 500;
    std::uint64_t m_nNextRemake = 0;
    bool m_bClose = false;
    std::string m_strFault;
};

}  // namespace wendrel::display::wayland
