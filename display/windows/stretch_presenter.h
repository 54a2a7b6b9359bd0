#pragma once

#include "framework/windows/win32.h"
#include "scene/leaf_scene.h"

namespace wendrel::display {

// The GDI presenter: each frame stretched over the whole client area of a
// window, whatever its size, first stored row at the bottom.
class CStretchPresenter {
  public:
    // Stretches the scene's frame onto m_hPresentWnd. Nothing without a
    // window, or when the window is gone.
    void PresentGdi(const CLeafScene& scene) const;

    // The window drawn into: the main window as the animation thread found
    // it when it started. Written by that thread then and read only by it.
    HWND m_hPresentWnd = nullptr;
};

}  // namespace wendrel::display
