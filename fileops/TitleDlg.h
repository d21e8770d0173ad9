// CTitleDlg: the modal one-line name input (template 153) of new folders, renames and launcher page names.
#pragma once

#include "framework/Dialog.h"

class CTitleDlg : public CDialog {
public:
    // parent null: the active window owns the dialog.
    explicit CTitleDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, HWND control) override;

    // The text of the edit control: set before DoModal, read after OK (1).
    CString m_strTitle;
};
