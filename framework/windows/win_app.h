#pragma once

#include <string>

#include "framework/windows/win32.h"
#include "framework/windows/wnd.h"

namespace wendrel {

// The application object: one per process, made before AfxWinMain runs.
// While one exists it is AfxGetApp().
class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up: TRUE runs the message loop, FALSE ends the program.
    virtual BOOL InitInstance() { return TRUE; }
    // The program's exit code: by default the quit request's.
    virtual int ExitInstance() { return m_nExitCode; }
    // Dispatches messages until the quit request; returns its code.
    virtual int Run();

    // Three-dimensional dialog controls: every system since version 4 draws
    // them itself, so there is nothing to do.
    BOOL Enable3dControls() { return TRUE; }

    // Help on the current context (m_dwPromptContext): WinHelp with
    // HELP_CONTEXT.
    virtual void OnHelp();
    // Asks the system help engine about m_strHelpFilePath; when it cannot
    // start, says "Failed to launch help.".
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    // Profile kept in the registry under
    // HKEY_CURRENT_USER\software\<registry key>\<application name>\<section>.
    // Every access opens each key for reading and writing, making those that
    // are missing, for a read as well. A read takes up to 4 bytes of any type
    // and gives nDefault on any failure; a write stores a REG_DWORD.
    void SetRegistryKey(const char* lpszRegistryKey);
    UINT GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault);
    BOOL WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue);

    // The file name without directory and without the text from its last
    // "." on: "C:\x\wendrel.scr" gives "wendrel".
    static std::string AppNameFromModulePath(const std::string& modulePath);
    // The path with the text from the file name's last "." on replaced by
    // ".HLP" (appended when the name has no ".").
    static std::string HelpPathFromModulePath(const std::string& modulePath);

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    std::string m_strAppName;       // from the running module's file name
    std::string m_strHelpFilePath;  // the module's path, extension ".HLP"
    std::string m_strRegistryKey;   // empty until SetRegistryKey
    DWORD_PTR m_dwPromptContext = 0;

  protected:
    int m_nExitCode = 0;

  private:
    CWinApp* m_pPrevious;
};

// How WinHelp reaches the system help engine; tests put stand-ins here.
using WinHelpFn = BOOL(WINAPI*)(HWND hWndMain, LPCSTR lpszHelp, UINT uCommand, ULONG_PTR dwData);
extern WinHelpFn pfnWinHelp;

// The current application object, or null.
CWinApp* AfxGetApp();
// The application's instance handle, else the program module's.
HINSTANCE AfxGetInstanceHandle();

// The framework's entry: InitInstance, then Run and ExitInstance after TRUE;
// after FALSE it destroys the main window if there is one and calls
// ExitInstance. Returns ExitInstance's result.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

}  // namespace wendrel
