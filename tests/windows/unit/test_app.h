#pragma once

#include "display/windows/display_app.h"

namespace wendrel::test {

// The application object of one test; records help requests instead of
// starting the help engine.
class CTestApp : public display::CDisplayApp {
  public:
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override {
        ++m_nHelpCalls;
        m_dwHelpData = dwData;
        m_nHelpCmd = nCmd;
    }

    int m_nHelpCalls = 0;
    DWORD_PTR m_dwHelpData = 0;
    UINT m_nHelpCmd = 0;
};

}  // namespace wendrel::test
