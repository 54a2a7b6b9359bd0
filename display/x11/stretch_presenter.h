#pragma once

#include "display/x11/surface_presenter.h"

namespace wendrel::display {

// The windowed presenter: each frame stretched over the whole window,
// whatever its size, first stored row at the bottom.
class CStretchPresenter : public CSurfacePresenter {
  public:
    CStretchPresenter() : CSurfacePresenter(FrameFit::Stretched) {}
};

}  // namespace wendrel::display
