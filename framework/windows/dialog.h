#pragma once

#include "framework/windows/data_exchange.h"
#include "framework/windows/wnd.h"

namespace wendrel {

// A modal dialog over a dialog template of the program's resources.
class CDialog : public CWnd {
  public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override = default;

    // Shows the dialog until it ends: IDOK, IDCANCEL (or the value given to
    // EndDialog), -1 when it cannot be shown.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Loads the members into the controls (FALSE) or saves the controls into
    // the members (TRUE); FALSE when an exchange gave up.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    UINT m_nIDHelp;  // the template id, which is also the help topic

  protected:
    // UpdateData(FALSE); TRUE lets the system put the focus on the first
    // control. A dialog without owner that stays where its template put it
    // is then centred on the work area.
    virtual BOOL OnInitDialog();
    // UpdateData(TRUE), then ends with IDOK.
    virtual void OnOK();
    // Ends with IDCANCEL.
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    // IDOK, IDCANCEL and the help command; derived dialogs route their own
    // buttons and pass on the rest.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Help on this dialog (F1): the application's help with topic
    // 0x20000 + template id.
    virtual void OnHelp();

  private:
    void CenterOnWorkArea();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
};

constexpr UINT kIdHelp = 0xE146;              // the framework's Help command
constexpr DWORD kHelpResourceBase = 0x20000;  // help topic of a resource id

}  // namespace wendrel
