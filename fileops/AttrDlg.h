// CAttrDlg: the attributes dialog (template 159): read-only and hidden check boxes and the modification time.
#pragma once

#include "framework/Dialog.h"

class CAttrDlg : public CDialog {
public:
    // parent null: the active window owns the dialog.
    explicit CAttrDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // Exchanged with the controls on open and on OK: the time text, the two check boxes (0 or 1).
    CString m_strTime;
    int m_bReadOnly = 0;
    int m_bHidden = 0;
};
