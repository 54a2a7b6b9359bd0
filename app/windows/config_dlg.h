#pragma once

#include <cstdint>

#include "dialog.h"
#include "home_page.h"

namespace wendrel {

// The configuration dialog: the one setting and the home-page link.
class CConfigDlg : public CDialog {
  public:
    enum { IDD = 133 };

    explicit CConfigDlg(const CShellCalls& shell = SystemShellCalls());
    ~CConfigDlg() override;

    // The state of check box 1011.
    int m_bNoDirect = 0;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnHomePage();

  private:
    const CShellCalls& m_shell;
};

}  // namespace wendrel
