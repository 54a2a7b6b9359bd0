#pragma once

#include <vector>

#include "framework/windows/win32.h"
#include "scene/leaf_scene.h"

namespace wendrel::display {

// The GDI presenter: each frame stretched over the whole client area of a
// window, whatever its size, first stored row at the bottom.
class CStretchPresenter {
  public:
    // Stretches the scene's frame onto m_hPresentWnd, then onto each of
    // m_coverWnds, in the same tick. Nothing on a window that is gone.
    void PresentGdi(const CLeafScene& scene) const;
    // The frame stretched over hWnd's client area.
    static void StretchOnto(HWND hWnd, const CLeafScene& scene);

    // The window drawn into: the main window as the animation thread found
    // it when it started. Written by that thread then and read only by it.
    HWND m_hPresentWnd = nullptr;
    // The windows over the other monitors, in full-screen mode; taken and
    // read like m_hPresentWnd.
    std::vector<HWND> m_coverWnds;
};

}  // namespace wendrel::display
