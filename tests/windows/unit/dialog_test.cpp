// The modal dialog on a real dialog template (unit_tests.rc): data
// exchange with a check box, the ends of a dialog, centring, help, and
// commands routed by a derived dialog.
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <utility>

#include "framework/windows/dialog.h"
#include "tests/windows/unit/message_queue.h"
#include "tests/windows/unit/test_app.h"

namespace wendrel {
namespace {

using test::CTestApp;
using test::TakeQuit;

constexpr UINT kTemplate = 200;
constexpr int kCheck = 1011;
constexpr int kOther = 1012;

class CScriptedDlg : public CDialog {
  public:
    explicit CScriptedDlg(std::function<void(CScriptedDlg&)> onOpen, UINT nTemplate = kTemplate)
        : CDialog(nTemplate), m_onOpen(std::move(onOpen)) {}

    void Post(UINT id) { PostMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void SetCheck(UINT state) { CheckDlgButton(m_hWnd, kCheck, state); }

    int m_value = 0;
    UINT m_nCheckAtOpen = 99;
    int m_nOtherClicks = 0;
    int m_nOtherClicksAtOk = -1;
    RECT m_rectAtEnd{};

  protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Check(pDX, kCheck, m_value); }
    BOOL OnInitDialog() override {
        const BOOL result = CDialog::OnInitDialog();
        m_nCheckAtOpen = IsDlgButtonChecked(m_hWnd, kCheck);
        m_onOpen(*this);
        return result;
    }
    void OnOK() override {
        GetWindowRect(m_hWnd, &m_rectAtEnd);
        m_nOtherClicksAtOk = m_nOtherClicks;
        CDialog::OnOK();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(wParam) == kOther && HIWORD(wParam) == BN_CLICKED) {
            ++m_nOtherClicks;
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }

  private:
    std::function<void(CScriptedDlg&)> m_onOpen;
};

struct LoadCase {
    int stored;
    UINT shown;
    int afterLoad;
};

TEST(DdxCheck, LoadsValuesOutsideZeroToTwoAsZero) {
    CTestApp app;
    for (const LoadCase& c : {LoadCase{0, BST_UNCHECKED, 0}, LoadCase{1, BST_CHECKED, 1},
                              LoadCase{7, BST_UNCHECKED, 0}, LoadCase{-5, BST_UNCHECKED, 0}}) {
        SCOPED_TRACE(c.stored);
        int afterLoad = 99;
        CScriptedDlg dlg([&](CScriptedDlg& d) {
            afterLoad = d.m_value;
            d.Post(IDCANCEL);
        });
        dlg.m_value = c.stored;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.m_nCheckAtOpen, c.shown);
        EXPECT_EQ(afterLoad, c.afterLoad);
        EXPECT_EQ(dlg.m_value, c.afterLoad);
    }
}

TEST(DdxCheck, TwoShowsCheckedAndSavesAsOne) {
    CTestApp app;
    CScriptedDlg dlg([](CScriptedDlg& d) { d.Post(IDOK); });
    dlg.m_value = 2;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_NE(dlg.m_nCheckAtOpen, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(dlg.m_value, 1);
}

TEST(DdxCheck, OkSavesTheBoxState) {
    CTestApp app;
    for (UINT state : {BST_CHECKED, BST_UNCHECKED}) {
        CScriptedDlg dlg([state](CScriptedDlg& d) {
            d.SetCheck(state);
            d.Post(IDOK);
        });
        dlg.m_value = 7;
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_value, static_cast<int>(state));
    }
}

TEST(Dialog, CancelSavesNothing) {
    CTestApp app;
    CScriptedDlg dlg([](CScriptedDlg& d) {
        d.SetCheck(BST_UNCHECKED);
        d.Post(IDCANCEL);
    });
    dlg.m_value = 1;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_value, 1);
}

TEST(Dialog, TheCloseBoxIsCancel) {
    CTestApp app;
    CScriptedDlg dlg([](CScriptedDlg& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(Dialog, AMissingTemplateCannotBeShown) {
    CTestApp app;
    bool opened = false;
    CScriptedDlg dlg([&](CScriptedDlg&) { opened = true; }, 999);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(opened);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Dialog, WithoutOwnerIsCentredOnTheWorkArea) {
    CTestApp app;
    RECT work{};
    CScriptedDlg dlg([&](CScriptedDlg& d) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoA(MonitorFromWindow(d.m_hWnd, MONITOR_DEFAULTTOPRIMARY), &info);
        work = info.rcWork;
        d.Post(IDOK);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    const RECT& r = dlg.m_rectAtEnd;
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 1);
}

TEST(Dialog, HelpAsksForTheTemplatesTopic) {
    CTestApp app;
    CScriptedDlg dlg([](CScriptedDlg& d) {
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = kCheck;
        SendMessageA(d.m_hWnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        d.Post(kIdHelp);
        d.Post(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(app.m_nHelpCalls, 2);
    EXPECT_EQ(app.m_dwHelpData, kHelpResourceBase + kTemplate);
    EXPECT_EQ(app.m_nHelpCmd, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(app.m_dwPromptContext, 0u);
}

TEST(Dialog, TheF1KeyAsksForHelp) {
    CTestApp app;
    std::thread presser;
    CScriptedDlg dlg([&presser](CScriptedDlg& d) {
        HWND hWnd = d.m_hWnd;
        presser = std::thread([hWnd] {
            for (int i = 0; i < 150 && GetForegroundWindow() != hWnd; ++i)
                Sleep(20);
            keybd_event(VK_F1, 0, 0, 0);
            keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
            // Posted messages come before input: give the key its time.
            Sleep(300);
            PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
        });
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    presser.join();
    EXPECT_EQ(app.m_nHelpCalls, 1);
    EXPECT_EQ(app.m_dwHelpData, kHelpResourceBase + kTemplate);
}

TEST(Dialog, ADerivedDialogRoutesItsOwnButtons) {
    CTestApp app;
    CScriptedDlg dlg([](CScriptedDlg& d) {
        d.Post(kOther);
        d.Post(kOther);
        d.Post(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    // Both clicks were handled, and the dialog stayed open for the OK.
    EXPECT_EQ(dlg.m_nOtherClicksAtOk, 2);
}

TEST(Dialog, AsTheMainWindowItsEndPostsQuit) {
    CTestApp app;
    CScriptedDlg dlg([](CScriptedDlg& d) { d.Post(IDOK); });
    app.m_pMainWnd = &dlg;
    TakeQuit();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(TakeQuit());
}

}  // namespace
}  // namespace wendrel
