// The name input: the text goes into the edit control on open and comes back on OK or when the edit control
// is full.
#include "fileops/TitleDlg.h"

#include "res/resource.h"

CTitleDlg::CTitleDlg(CWnd* parent) : CDialog(IDD_TITLE, parent) {}

BOOL CTitleDlg::OnInitDialog()
{
    SetDlgItemText(IDC_TEXT_EDIT, m_strTitle);
    HWND edit = GetDlgItem(IDC_TEXT_EDIT);
    ::SetFocus(edit);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    // The focus was set here: the dialog manager must not move it to the first tab stop.
    return FALSE;
}

void CTitleDlg::OnOK()
{
    m_strTitle = GetDlgItemText(IDC_TEXT_EDIT);
    EndDialog(IDOK);
}

bool CTitleDlg::OnCommand(int id, int code, HWND)
{
    // A text that reaches the control's limit ends the input as OK does.
    if (id == IDC_TEXT_EDIT && code == EN_MAXTEXT) {
        OnOK();
        return true;
    }
    return false;
}
