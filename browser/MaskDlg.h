// CMaskDlg: the mask dialog (template 151): an editable drop-down of file name patterns.
#pragma once

#include "framework/Dialog.h"

class CMaskDlg : public CDialog {
public:
    // parent null: the active window owns the dialog.
    explicit CMaskDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // The pattern, exchanged with the combo box's text on open and on OK.
    CString m_strMask;
};
