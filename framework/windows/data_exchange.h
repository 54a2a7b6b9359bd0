#pragma once

#include "framework/windows/win32.h"

namespace wendrel {

class CWnd;

// One exchange between a dialog's members and its controls: saving reads
// the controls into the members, loading does the opposite.
class CDataExchange {
  public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Check box nIDC and an integer. Load: a value outside 0 ... 2 becomes 0
// first, then the box gets it as its check state. Save: the box's state.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);

}  // namespace wendrel
