#pragma once

#include <cstdint>

#include "app/windows/home_page.h"
#include "framework/windows/dialog.h"
#include "res/resource_ids.h"

namespace wendrel {

// The configuration dialog: the one setting and the home-page link.
class CConfigDlg : public CDialog {
  public:
    enum { IDD = IDD_CONFIG };

    explicit CConfigDlg(const CShellCalls& shell = SystemShellCalls());
    ~CConfigDlg() override;

    // The state of the check box IDC_NODIRECT.
    int m_bNoDirect = 0;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnHomePage();

  private:
    const CShellCalls& m_shell;
};

}  // namespace wendrel
