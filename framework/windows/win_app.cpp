#include "framework/windows/win_app.h"

namespace wendrel {

WinHelpFn pfnWinHelp = ::WinHelpA;

namespace {

CWinApp* currentApp = nullptr;

std::string ModulePath() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

std::string::size_type FileNameStart(const std::string& path) {
    const auto slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

CWinApp::CWinApp() : m_pPrevious(currentApp) {
    currentApp = this;
    m_hInstance = GetModuleHandleA(nullptr);
    const std::string path = ModulePath();
    m_strAppName = AppNameFromModulePath(path);
    m_strHelpFilePath = HelpPathFromModulePath(path);
}

CWinApp::~CWinApp() {
    currentApp = m_pPrevious;
}

std::string CWinApp::AppNameFromModulePath(const std::string& modulePath) {
    std::string name = modulePath.substr(FileNameStart(modulePath));
    const auto dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

std::string CWinApp::HelpPathFromModulePath(const std::string& modulePath) {
    const auto start = FileNameStart(modulePath);
    const auto dot = modulePath.rfind('.');
    std::string path = modulePath;
    if (dot != std::string::npos && dot >= start)
        path.erase(dot);
    return path + ".HLP";
}

int CWinApp::Run() {
    MSG msg{};
    for (;;) {
        // Temporary window wrappers live until the loop has nothing to do.
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            CWnd::DeleteTempMap();
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    CWnd::DeleteTempMap();
    m_nExitCode = static_cast<int>(msg.wParam);
    return m_nExitCode;
}

void CWinApp::OnHelp() {
    WinHelp(m_dwPromptContext, HELP_CONTEXT);
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd) {
    HWND hWndOwner = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
    if (!pfnWinHelp(hWndOwner, m_strHelpFilePath.c_str(), nCmd, dwData))
        MessageBoxA(hWndOwner, "Failed to launch help.", m_strAppName.c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
}

CWinApp* AfxGetApp() {
    return currentApp;
}

HINSTANCE AfxGetInstanceHandle() {
    if (currentApp != nullptr && currentApp->m_hInstance != nullptr)
        return currentApp->m_hInstance;
    return GetModuleHandleA(nullptr);
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    if (hInstance != nullptr)
        pApp->m_hInstance = hInstance;
    int code = 0;
    if (pApp->InitInstance()) {
        pApp->Run();
        code = pApp->ExitInstance();
    } else {
        if (pApp->m_pMainWnd != nullptr)
            pApp->m_pMainWnd->DestroyWindow();
        code = pApp->ExitInstance();
    }
    CWnd::DeleteTempMap();
    return code;
}

}  // namespace wendrel
