#include "framework/windows/data_exchange.h"

#include "framework/windows/wnd.h"
#include "saver/check_state.h"

namespace wendrel {

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND hWndCtrl = GetDlgItem(pDX->m_pDlgWnd->GetSafeHwnd(), nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
        return;
    }
    value = LoadCheckState(value);
    SendMessageA(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

}  // namespace wendrel
