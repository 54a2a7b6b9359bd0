#include "display/windows/display_app.h"

#include <cstdio>
#include <cstdlib>

#include "display/windows/monitors.h"

namespace wendrel::display {
namespace {

constexpr UINT kLayoutCheckMs = 500;

void CALLBACK LookAtMonitors(HWND, UINT, UINT_PTR, DWORD) {
    DisplayApp().FollowMonitorLayout();
}

}  // namespace

CDisplayApp::~CDisplayApp() {
    StopAnimationThread();
    DestroyCoverWnds();
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
    std::vector<HWND> covers;
    for (CCoverWnd* pCover : m_coverWnds)
        covers.push_back(pCover->GetSafeHwnd());
    m_pAnimatedScene = &scene;
    PresentHooks hooks;
    hooks.presentStretched = [this](CLeafScene& s) { m_stretch.PresentGdi(s); };
    hooks.presentExclusive = [this](CLeafScene& s) { m_exclusive.PresentDirectDraw(s); };
    m_pThread = std::make_unique<CAnimationThread>();
    m_pThread->Start(scene, std::move(hooks), [this, hWnd, covers = std::move(covers)] {
        m_stretch.m_hPresentWnd = hWnd;
        m_stretch.m_coverWnds = covers;
    });
}

void CDisplayApp::StopAnimationThread() {
    if (m_pThread == nullptr)
        return;
    m_pThread->Stop();
    m_pThread.reset();
}

void CDisplayApp::CreateCoverWnds() {
    for (const RECT& monitor : CurrentMonitorLayout().others) {
        auto* pCover = new CCoverWnd;
        // A window that failed has already deleted itself.
        if (pCover->CreateCover(monitor))
            m_coverWnds.push_back(pCover);
    }
    if (m_nLayoutTimer == 0)
        m_nLayoutTimer = SetTimer(nullptr, 0, kLayoutCheckMs, LookAtMonitors);
}

void CDisplayApp::DestroyCoverWnds() {
    if (m_nLayoutTimer != 0) {
        KillTimer(nullptr, m_nLayoutTimer);
        m_nLayoutTimer = 0;
    }
    // Each cover takes itself off the list as it goes.
    const std::vector<CCoverWnd*> covers = m_coverWnds;
    for (CCoverWnd* pCover : covers)
        pCover->DestroyWindow();
    m_coverWnds.clear();
}

void CDisplayApp::FollowMonitorLayout() {
    if (m_pFullScreenWnd == nullptr || m_pFullScreenWnd->GetSafeHwnd() == nullptr)
        return;
    const MonitorLayout layout = CurrentMonitorLayout();
    RECT primary{};
    GetWindowRect(m_pFullScreenWnd->GetSafeHwnd(), &primary);
    if (!Covers(primary, layout.primary)) {
        // The full-screen window keeps its place and size: end cleanly.
        m_pFullScreenWnd->RequestClose();
        return;
    }
    bool same = layout.others.size() == m_coverWnds.size();
    for (std::size_t i = 0; same && i < m_coverWnds.size(); ++i) {
        RECT cover{};
        GetWindowRect(m_coverWnds[i]->GetSafeHwnd(), &cover);
        same = SameRect(cover, layout.others[i]);
    }
    // Our own mode switch and its restore announce themselves too, and
    // every cover hears each change: most calls find nothing to do.
    if (same)
        return;
    const bool animating = m_pThread != nullptr;
    StopAnimationThread();
    DestroyCoverWnds();
    CreateCoverWnds();
    if (animating && m_pAnimatedScene != nullptr)
        StartAnimationThread(*m_pAnimatedScene);
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
