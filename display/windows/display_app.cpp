#include "display/windows/display_app.h"

#include <cstdio>
#include <cstdlib>

namespace wendrel::display {

CDisplayApp::~CDisplayApp() {
    StopAnimationThread();
}

int CDisplayApp::ExitInstance() {
    StopAnimationThread();
    return CWinApp::ExitInstance();
}

void CDisplayApp::StartAnimationThread(CLeafScene& scene) {
    StopAnimationThread();
    // Read here, before the thread exists: the main thread may change
    // m_pMainWnd while the new thread starts.
    HWND hWnd = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
    PresentHooks hooks;
    hooks.presentStretched = [this](CLeafScene& s) { m_stretch.PresentGdi(s); };
    hooks.presentExclusive = [this](CLeafScene& s) { m_exclusive.PresentDirectDraw(s); };
    m_pThread = std::make_unique<CAnimationThread>();
    m_pThread->Start(scene, std::move(hooks), [this, hWnd] { m_stretch.m_hPresentWnd = hWnd; });
}

void CDisplayApp::StopAnimationThread() {
    if (m_pThread == nullptr)
        return;
    m_pThread->Stop();
    m_pThread.reset();
}

CDisplayApp& DisplayApp() {
    auto* pApp = dynamic_cast<CDisplayApp*>(AfxGetApp());
    if (pApp == nullptr) {
        std::fputs("wendrel: no display application exists\n", stderr);
        std::abort();
    }
    return *pApp;
}

}  // namespace wendrel::display
