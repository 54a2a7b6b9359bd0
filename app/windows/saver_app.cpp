#include "app/windows/saver_app.h"

#include <cstdlib>
#include <ctime>
#include <system_error>

#include "app/windows/config_dlg.h"
#include "display/windows/full_screen_wnd.h"
#include "display/windows/saver_wnd.h"
#include "saver/command_switch.h"
#include "saver/saver_names.h"
#include "scene/animation.h"
#include "scene/random.h"

namespace wendrel {

CSaverApp::CSaverApp() = default;

CSaverApp::~CSaverApp() {
    // The scene goes before the base's destructor runs: stop the thread now.
    StopAnimationThread();
}

BOOL CSaverApp::InitInstance() {
    return StartUp(__argc, __argv);
}

BOOL CSaverApp::StartUp(int argc, char* const* argv) {
    SeedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    // The framework's three-dimensional controls: the system draws them
    // itself, so this does nothing and its result does not matter.
    Enable3dControls();
    SetRegistryKey(kCompanyKey);
    m_bNoDirect = static_cast<std::int32_t>(GetProfileInt(kSettingsSection, kNoDirectEntry, 0));
    m_pThread.reset();  // start-up begins without a thread
    switch (ChooseMode(argc, argv)) {
        case ESaverMode::Preview:
            return StartPreview(argc > 2 ? argv[2] : nullptr);
        case ESaverMode::FullScreen:
            return StartFullScreen();
        case ESaverMode::Config:
            break;
    }
    RunConfigDialog();
    return FALSE;
}

ESaverMode CSaverApp::ChooseMode(int argc, char* const* argv) {
    return ChooseSaverMode(argc > 1 && argv[1] != nullptr ? argv[1] : "");
}

HWND CSaverApp::ParentFromArgument(const char* text) {
    if (text == nullptr || *text == '\0')
        return nullptr;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9')
            return nullptr;
    }
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    const HWND hWnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
    return value != 0 && IsWindow(hWnd) ? hWnd : nullptr;
}

BOOL CSaverApp::StartPreview(const char* parentArgument) {
    m_bDirectDraw = 0;
    // Without a live parent there is nothing to draw into: end at once.
    const HWND hParent = ParentFromArgument(parentArgument);
    if (hParent == nullptr)
        return FALSE;
    m_scene.LoadBackground();
    CWnd* pParent = CWnd::FromHandle(hParent);
    CRect rect;
    pParent->GetClientRect(&rect);
    auto* pWnd = new display::CSaverWnd(TRUE);
    // A window that failed has already deleted itself.
    if (!pWnd->Create(0, WS_CHILD | WS_VISIBLE, rect, pParent))
        return FALSE;
    m_pMainWnd = pWnd;
    return StartThread();
}

BOOL CSaverApp::StartFullScreen() {
    m_bDirectDraw = m_bNoDirect == 0 ? 1 : 0;
    m_scene.LoadBackground();
    m_pFullScreenWnd = new display::CFullScreenWnd;
    // A window that failed may already have deleted itself.
    if (!m_pFullScreenWnd->CreateFullScreen()) {
        m_pFullScreenWnd = nullptr;
        return FALSE;
    }
    m_pMainWnd = m_pFullScreenWnd;
    // The other monitors as they are after the full-screen window's
    // creation, which may have switched the display mode and moved them; the
    // thread that draws on them starts after.
    CreateCoverWnds();
    return StartThread();
}

BOOL CSaverApp::StartThread() {
    try {
        StartAnimationThread(m_scene);
    } catch (const std::system_error&) {
        // No thread: the framework destroys the window and the program ends.
        StopAnimationThread();
        return FALSE;
    }
    return TRUE;
}

void CSaverApp::RunConfigDialog() {
    CConfigDlg dlg;
    m_pMainWnd = &dlg;
    dlg.m_bNoDirect = m_bNoDirect;
    if (dlg.DoModal() == IDOK) {
        m_bNoDirect = dlg.m_bNoDirect;
        WriteProfileInt(kSettingsSection, kNoDirectEntry, m_bNoDirect);
    }
    // A dialog that never got a window did not clear the main window.
    if (m_pMainWnd == &dlg)
        m_pMainWnd = nullptr;
}

}  // namespace wendrel
