// Start-up of the application object from a command line: the stored
// setting, the three modes, and how each ends; the configuration dialog
// driven from inside its modal loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/windows/saver_app.h"
#include "display/windows/exclusive_presenter.h"
#include "display/windows/saver_wnd.h"
#include "res/resource_ids.h"
#include "tests/windows/app/command_args.h"
#include "tests/windows/app/dialog_script.h"

namespace wendrel {
namespace {

using test::Click;
using test::PumpUntilQuit;

struct Stored {
    DWORD type;
    DWORD value;
};

class SaverApp : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteSettings();
        PumpUntilQuit(0);
    }
    void TearDown() override {
        if (m_hParent != nullptr)
            DestroyWindow(m_hParent);
        PumpUntilQuit(0);
        DeleteSettings();
    }

    std::string AppKey() const { return "software\\Tavrin Screen Savers\\" + m_app.m_strAppName; }
    void DeleteSettings() const { RegDeleteTreeA(HKEY_CURRENT_USER, AppKey().c_str()); }
    std::optional<Stored> Read() const {
        HKEY hKey = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, (AppKey() + "\\LEAF").c_str(), 0, KEY_READ, &hKey) !=
            ERROR_SUCCESS)
            return std::nullopt;
        Stored stored{};
        DWORD size = sizeof stored.value;
        const LONG result = RegQueryValueExA(hKey, "NoDirect", nullptr, &stored.type,
                                             reinterpret_cast<BYTE*>(&stored.value), &size);
        RegCloseKey(hKey);
        if (result != ERROR_SUCCESS)
            return std::nullopt;
        return stored;
    }
    bool LeafKeyExists() const {
        HKEY hKey = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, (AppKey() + "\\LEAF").c_str(), 0, KEY_READ, &hKey) !=
            ERROR_SUCCESS)
            return false;
        RegCloseKey(hKey);
        return true;
    }
    void Store(int value) {
        m_app.SetRegistryKey("Tavrin Screen Savers");
        ASSERT_TRUE(m_app.WriteProfileInt("LEAF", "NoDirect", value));
    }

    BOOL Start(std::vector<std::string> args) {
        const test::CCommandArgs line(std::move(args));
        return m_app.StartUp(line.Count(), line.Values());
    }

    // Starts with `args` (configuration mode) and runs `act` on the dialog
    // once it is open; returns the check box's state at that moment.
    UINT StartDialog(std::vector<std::string> args, const std::function<void(HWND)>& act) {
        UINT checkedAtOpen = 99;
        test::CDialogScript script([&](HWND hDlg) {
            checkedAtOpen = IsDlgButtonChecked(hDlg, IDC_NODIRECT);
            act(hDlg);
        });
        EXPECT_FALSE(Start(std::move(args)));
        EXPECT_TRUE(script.Ran());
        return checkedAtOpen;
    }

    // A top-level window of this thread for the preview to fill.
    std::string MakeParent() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WendrelTestParent";
        RegisterClassA(&wc);
        m_hParent = CreateWindowExA(0, wc.lpszClassName, "parent", WS_POPUP | WS_VISIBLE, 40, 40,
                                    200, 150, nullptr, nullptr, wc.hInstance, nullptr);
        return std::to_string(reinterpret_cast<std::uintptr_t>(m_hParent));
    }

    static BOOL CALLBACK CountSaverWindow(HWND hWnd, LPARAM lParam) {
        char name[64] = "";
        GetClassNameA(hWnd, name, sizeof name);
        if (std::string(name).rfind("Afx:", 0) == 0)
            ++*reinterpret_cast<int*>(lParam);
        return TRUE;
    }
    // The application's windows of this thread's saver window class.
    static int SaverWindowCount() {
        int count = 0;
        EnumThreadWindows(GetCurrentThreadId(), &CountSaverWindow,
                          reinterpret_cast<LPARAM>(&count));
        return count;
    }

    void ExpectNothingStarted() {
        EXPECT_EQ(m_app.m_pMainWnd, nullptr);
        EXPECT_EQ(m_app.m_pThread, nullptr);
        EXPECT_EQ(SaverWindowCount(), 0);
    }

    CSaverApp m_app;
    HWND m_hParent = nullptr;
};

// One run of the dialog: what the box showed when it opened and what is
// stored afterwards.
struct DialogRun {
    UINT checkedAtOpen = 99;
    std::optional<Stored> stored;
};

TEST_F(SaverApp, ConfigurationModeRunsOnlyTheDialog) {
    EXPECT_EQ(StartDialog({"/c"}, [](HWND hDlg) { Click(hDlg, IDCANCEL); }), 0u);
    ExpectNothingStarted();
    EXPECT_FALSE(m_app.m_scene.IsLoaded());
    // The read made the key path; nothing was stored.
    EXPECT_TRUE(LeafKeyExists());
    EXPECT_FALSE(Read().has_value());
}

class ConfigDialog : public SaverApp {
  protected:
    // Stores `before` (unless nullopt), opens the dialog, runs `act` on it.
    DialogRun Run(std::optional<int> before, const std::function<void(HWND)>& act) {
        if (before)
            Store(*before);
        DialogRun run;
        run.checkedAtOpen = StartDialog({}, act);
        EXPECT_EQ(m_app.m_pMainWnd, nullptr);
        PumpUntilQuit(0);
        run.stored = Read();
        return run;
    }
    static void Ok(HWND hDlg) { Click(hDlg, IDOK); }
    static void ToggleThenOk(HWND hDlg) {
        Click(hDlg, 1011);
        Click(hDlg, IDOK);
    }
    static void ToggleThenEscape(HWND hDlg) {
        Click(hDlg, 1011);
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    }
    static void CloseBox(HWND hDlg) { PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0); }
};

void ExpectStored(const DialogRun& run, DWORD value) {
    ASSERT_TRUE(run.stored.has_value());
    EXPECT_EQ(run.stored->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(run.stored->value, value);
}

TEST_F(ConfigDialog, NothingStoredOpensClearAndOkStoresZero) {
    const DialogRun run = Run(std::nullopt, Ok);
    EXPECT_EQ(run.checkedAtOpen, 0u);
    ExpectStored(run, 0);
}

TEST_F(ConfigDialog, CheckedThenOkStoresOne) {
    const DialogRun run = Run(0, ToggleThenOk);
    EXPECT_EQ(run.checkedAtOpen, 0u);
    ExpectStored(run, 1);
    EXPECT_EQ(m_app.m_bNoDirect, 1);
}

TEST_F(ConfigDialog, OneOpensChecked) {
    const DialogRun run = Run(1, ToggleThenOk);
    EXPECT_EQ(run.checkedAtOpen, 1u);
    ExpectStored(run, 0);
}

TEST_F(ConfigDialog, TwoOpensCheckedAndOkStoresOne) {
    const DialogRun run = Run(2, Ok);
    EXPECT_NE(run.checkedAtOpen, 0u);
    ExpectStored(run, 1);
}

TEST_F(ConfigDialog, ValuesOutsideZeroToTwoOpenClear) {
    for (int value : {7, -5}) {
        const DialogRun run = Run(value, Ok);
        EXPECT_EQ(run.checkedAtOpen, 0u) << value;
        ExpectStored(run, 0);
    }
}

TEST_F(ConfigDialog, EscapeAndTheCloseBoxStoreNothing) {
    DialogRun run = Run(7, ToggleThenEscape);
    EXPECT_EQ(run.checkedAtOpen, 0u);
    ExpectStored(run, 7);
    run = Run(1, CloseBox);
    ExpectStored(run, 1);
    DeleteSettings();
    run = Run(std::nullopt, ToggleThenEscape);
    EXPECT_FALSE(run.stored.has_value());
}

// Every text of the dialog, measured in the dialog's font as its control
// draws it, fits inside that control: at the usual 96 dpi here, and at
// 144 dpi in the end-to-end run on two monitors.
TEST_F(ConfigDialog, EveryTextFitsItsControl) {
    struct Text {
        std::wstring text;
        SIZE extent;
        SIZE room;
    };
    std::vector<Text> texts;
    int dialogDpi = 0;
    Run(std::nullopt, [&](HWND hDlg) {
        for (HWND hChild = GetWindow(hDlg, GW_CHILD); hChild != nullptr;
             hChild = GetWindow(hChild, GW_HWNDNEXT)) {
            wchar_t text[128] = L"";
            const int length = GetWindowTextW(hChild, text, 128);
            const auto style = static_cast<DWORD>(GetWindowLongW(hChild, GWL_STYLE));
            wchar_t kind[32] = L"";
            GetClassNameW(hChild, kind, 32);
            const bool isStatic = lstrcmpiW(kind, L"Static") == 0;
            if (length == 0 || (isStatic && (style & SS_TYPEMASK) == SS_ICON))
                continue;
            RECT client{};
            GetClientRect(hChild, &client);
            HDC hDC = GetDC(hChild);
            const auto hFont = reinterpret_cast<HFONT>(SendMessageW(hChild, WM_GETFONT, 0, 0));
            HGDIOBJ hOld = SelectObject(hDC, hFont);
            // As the control draws it: one line, "&" marking the access key.
            RECT drawn{0, 0, 0, 0};
            DrawTextW(hDC, text, length, &drawn, DT_CALCRECT | DT_SINGLELINE);
            const int dpi = GetDeviceCaps(hDC, LOGPIXELSX);
            dialogDpi = dpi;
            SelectObject(hDC, hOld);
            ReleaseDC(hChild, hDC);
            // A push button keeps a frame around its text, a check box the
            // box and a gap before it; both scale with the dpi.
            int margin = 0;
            if (!isStatic)
                margin = (style & BS_TYPEMASK) == BS_AUTOCHECKBOX ? MulDiv(13 + 4, dpi, 96)
                                                                  : MulDiv(2 * 3, dpi, 96);
            texts.push_back({std::wstring(text, static_cast<std::size_t>(length)),
                             {drawn.right - drawn.left, drawn.bottom - drawn.top},
                             {client.right - client.left - margin, client.bottom - client.top}});
        }
        Click(hDlg, IDCANCEL);
    });
    // The run at another dpi says which it set.
    if (const char* wanted = std::getenv("WENDREL_EXPECT_DPI")) {
        EXPECT_EQ(dialogDpi, std::atoi(wanted));
    }
    std::vector<std::wstring> found;
    for (const Text& t : texts) {
        found.push_back(t.text);
        const std::string name(t.text.begin(), t.text.end());
        EXPECT_GT(t.extent.cx, 0) << name;
        EXPECT_LE(t.extent.cx, t.room.cx)
            << '"' << name << "\" is " << t.extent.cx << " pixels wide in room for " << t.room.cx;
        EXPECT_LE(t.extent.cy, t.room.cy)
            << '"' << name << "\" is " << t.extent.cy << " pixels high in room for " << t.room.cy;
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found,
              (std::vector<std::wstring>{L"&Go to the TAVRIN Software home page", L"Cancel",
                                         L"Do not use &DirectDraw", L"OK", L"Wendrel Version 1.0",
                                         L"\u00A9 1997 TAVRIN Software"}));
}

TEST_F(SaverApp, PreviewWithoutALiveParentEndsAtOnce) {
    HWND hGone =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    const std::string gone = std::to_string(reinterpret_cast<std::uintptr_t>(hGone));
    DestroyWindow(hGone);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"/p"}, {"/p", "abc"}, {"/p", "12x"}, {"/p", gone}, {"/p", "0"}}) {
        EXPECT_FALSE(Start(args)) << args.size();
        ExpectNothingStarted();
        EXPECT_FALSE(m_app.m_scene.IsLoaded());
    }
}

TEST_F(SaverApp, PreviewFillsTheParentAndEndsWithIt) {
    Store(0);
    const std::string parent = MakeParent();
    ASSERT_TRUE(Start({"/p", parent}));
    EXPECT_EQ(m_app.m_bDirectDraw, 0);
    EXPECT_TRUE(m_app.m_scene.IsLoaded());
    ASSERT_NE(m_app.m_pMainWnd, nullptr);
    HWND hPreview = m_app.m_pMainWnd->GetSafeHwnd();
    EXPECT_EQ(GetParent(hPreview), m_hParent);
    EXPECT_EQ(GetWindowLongA(hPreview, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    RECT parentRect, previewRect;
    GetClientRect(m_hParent, &parentRect);
    GetWindowRect(hPreview, &previewRect);
    MapWindowPoints(nullptr, m_hParent, reinterpret_cast<POINT*>(&previewRect), 2);
    EXPECT_TRUE(EqualRect(&parentRect, &previewRect));
    ASSERT_NE(m_app.m_pThread, nullptr);
    EXPECT_TRUE(m_app.m_pThread->IsRunning());

    // The frames reach the window: the shrunk picture, not the white of
    // a bare repaint.
    EXPECT_FALSE(PumpUntilQuit(500));
    HDC hDC = GetDC(hPreview);
    int white = 0, samples = 0;
    for (int y = 5; y < 150; y += 10) {
        for (int x = 5; x < 200; x += 10) {
            white += GetPixel(hDC, x, y) == RGB(255, 255, 255) ? 1 : 0;
            ++samples;
        }
    }
    ReleaseDC(hPreview, hDC);
    EXPECT_LT(white, samples / 10);

    // The panel destroys its window: the thread stops with the preview and
    // the message loop is asked to end.
    DestroyWindow(m_hParent);
    m_hParent = nullptr;
    EXPECT_EQ(m_app.m_pThread, nullptr);
    EXPECT_TRUE(PumpUntilQuit(1000));
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
    EXPECT_EQ(m_app.ExitInstance(), 0);
}

TEST_F(SaverApp, ExitInstanceStopsAPreviewThreadStillRunning) {
    ASSERT_TRUE(Start({"/p", MakeParent()}));
    ASSERT_NE(m_app.m_pThread, nullptr);
    m_app.ExitInstance();
    EXPECT_EQ(m_app.m_pThread, nullptr);
}

// Refuses to create windows of the saver's class on this thread.
class CRefuseSaverWindows {
  public:
    CRefuseSaverWindows()
        : m_hHook(SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId())) {}
    ~CRefuseSaverWindows() { UnhookWindowsHookEx(m_hHook); }
    CRefuseSaverWindows(const CRefuseSaverWindows&) = delete;
    CRefuseSaverWindows& operator=(const CRefuseSaverWindows&) = delete;

  private:
    static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam) {
        if (nCode == HCBT_CREATEWND) {
            char name[64] = "";
            GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
            if (std::string(name).rfind("Afx:", 0) == 0)
                return 1;
        }
        return CallNextHookEx(nullptr, nCode, wParam, lParam);
    }
    HHOOK m_hHook;
};

TEST_F(SaverApp, AWindowThatCannotBeCreatedEndsWithoutAThread) {
    const std::string parent = MakeParent();
    Store(1);
    {
        CRefuseSaverWindows refuse;
        EXPECT_FALSE(Start({"/p", parent}));
        ExpectNothingStarted();
        EXPECT_FALSE(Start({"/s"}));
        ExpectNothingStarted();
    }
    EXPECT_EQ(m_app.m_pFullScreenWnd, nullptr);
}

class FullScreen : public SaverApp {
  protected:
    // Closes the window as the input rules would, and checks the end.
    void CloseAndExpectEnd() {
        ASSERT_NE(m_app.m_pMainWnd, nullptr);
        m_app.m_pMainWnd->PostMessage(WM_CLOSE);
        EXPECT_TRUE(PumpUntilQuit(2000));
        EXPECT_EQ(m_app.m_pThread, nullptr);
        EXPECT_EQ(m_app.m_pMainWnd, nullptr);
        EXPECT_EQ(SaverWindowCount(), 0);
        PumpUntilQuit(0);
    }
};

TEST_F(FullScreen, NoDirectSetGoesStraightToGdi) {
    for (int value : {1, 7}) {
        Store(value);
        ASSERT_TRUE(Start({"/s"})) << value;
        EXPECT_EQ(m_app.m_bNoDirect, value);
        EXPECT_EQ(m_app.m_bDirectDraw, 0);
        EXPECT_TRUE(m_app.m_scene.IsLoaded());
        ASSERT_NE(m_app.m_pFullScreenWnd, nullptr);
        EXPECT_EQ(m_app.m_pMainWnd, m_app.m_pFullScreenWnd);
        HWND hWnd = m_app.m_pMainWnd->GetSafeHwnd();
        RECT rect;
        GetWindowRect(hWnd, &rect);
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
        EXPECT_NE(GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
        ASSERT_NE(m_app.m_pThread, nullptr);
        EXPECT_TRUE(m_app.m_pThread->IsRunning());
        CloseAndExpectEnd();
    }
}

// While it lives, DirectDraw cannot be made: each try is counted and refused.
class CRefusingDriver {
  public:
    CRefusingDriver() : m_saved(display::pfnDirectDrawCreate) {
        calls = 0;
        display::pfnDirectDrawCreate = &Create;
    }
    ~CRefusingDriver() { display::pfnDirectDrawCreate = m_saved; }
    CRefusingDriver(const CRefusingDriver&) = delete;
    CRefusingDriver& operator=(const CRefusingDriver&) = delete;

    static inline int calls = 0;

  private:
    static HRESULT WINAPI Create(GUID*, LPDIRECTDRAW* lplpDD, IUnknown*) {
        ++calls;
        *lplpDD = nullptr;
        return DDERR_NODIRECTDRAWHW;
    }
    display::DirectDrawCreateFn m_saved;
};

TEST_F(FullScreen, NothingStoredTriesDirectDrawFirst) {
    {
        const CRefusingDriver refusing;
        ASSERT_TRUE(Start({"-S"}));
    }
    EXPECT_EQ(CRefusingDriver::calls, 1);
    EXPECT_EQ(m_app.m_bDirectDraw, 0);  // the set-up failed: GDI serves
    EXPECT_EQ(m_app.m_bNoDirect, 0);
    CloseAndExpectEnd();
    EXPECT_TRUE(LeafKeyExists());
    EXPECT_FALSE(Read().has_value());
}

TEST_F(FullScreen, PreviewNeverTriesDirectDraw) {
    {
        const CRefusingDriver refusing;
        ASSERT_TRUE(Start({"/p", MakeParent()}));
    }
    EXPECT_EQ(CRefusingDriver::calls, 0);
    DestroyWindow(m_hParent);
    m_hParent = nullptr;
    EXPECT_TRUE(PumpUntilQuit(1000));
}

}  // namespace
}  // namespace wendrel
