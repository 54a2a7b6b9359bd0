#pragma once

#include <cstdint>

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

    const std::int32_t m_nSceneWidth = 640;
    const std::int32_t m_nSceneHeight = 480;
    const std::int32_t m_nPathMargin = 200;
    const std::int32_t m_nLeafSize = 48;

  private:
    CSaverCore* m_pPrevious;
};

// The current core; there must be one.
CSaverCore& SaverCore();

}  // namespace wendrel
