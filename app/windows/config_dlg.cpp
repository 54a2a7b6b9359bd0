#include "app/windows/config_dlg.h"

#include "saver/saver_names.h"

namespace wendrel {

CConfigDlg::CConfigDlg(const CShellCalls& shell) : CDialog(IDD), m_shell(shell) {}

CConfigDlg::~CConfigDlg() = default;

void CConfigDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_NODIRECT, m_bNoDirect);
}

BOOL CConfigDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_HOMEPAGE && HIWORD(wParam) == BN_CLICKED) {
        OnHomePage();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CConfigDlg::OnHomePage() {
    OpenHomePage(m_shell, kHomePageAddress);
}

}  // namespace wendrel
