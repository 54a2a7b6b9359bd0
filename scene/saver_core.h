#pragma once

#include <cstdint>

#include "scene/frame_buffer.h"

namespace wendrel {

// The program-wide values that the engine and the presenters read. The
// application object is one of these; the renderer and the tests make
// their own. While one exists it is the current one.
class CSaverCore {
  public:
    CSaverCore();
    virtual ~CSaverCore();
    CSaverCore(const CSaverCore&) = delete;
    CSaverCore& operator=(const CSaverCore&) = delete;

    // 1 while full-screen exclusive output is active. Settled before the
    // animation thread starts; it picks the presenter and the pace.
    std::int32_t m_bDirectDraw = 0;

    const std::int32_t m_nSceneWidth = kFrameWidth;
    const std::int32_t m_nSceneHeight = kFrameHeight;
    const std::int32_t m_nPathMargin = 200;
    const std::int32_t m_nLeafSize = kLeafImageSize;

  private:
    CSaverCore* m_pPrevious;
};

// The current core; there must be one.
CSaverCore& SaverCore();

}  // namespace wendrel
