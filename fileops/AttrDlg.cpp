// The attributes dialog: its members go into the controls on open and come back on OK.
#include "fileops/AttrDlg.h"

#include "res/resource.h"

CAttrDlg::CAttrDlg(CWnd* parent) : CDialog(IDD_ATTR, parent) {}

BOOL CAttrDlg::OnInitDialog()
{
    CheckDlgButton(IDC_READ_ONLY, m_bReadOnly);
    CheckDlgButton(IDC_HIDDEN, m_bHidden);
    SetDlgItemText(IDC_TEXT_EDIT, m_strTime);
    return TRUE;
}

void CAttrDlg::OnOK()
{
    m_bReadOnly = IsDlgButtonChecked(IDC_READ_ONLY);
    m_bHidden = IsDlgButtonChecked(IDC_HIDDEN);
    m_strTime = GetDlgItemText(IDC_TEXT_EDIT);
    EndDialog(IDOK);
}
