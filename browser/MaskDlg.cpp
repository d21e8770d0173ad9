// The mask dialog: the offered patterns (the combo box sorts them) and the text the user may also type.
#include "browser/MaskDlg.h"

#include "res/resource.h"

namespace {

const char* const kPatterns[] = {"*.*", "*.TXT", "*.DOC", "*.BMP", "*.JPG", "*.JPEG", "*.GIF"};

} // namespace

CMaskDlg::CMaskDlg(CWnd* parent) : CDialog(IDD_MASK, parent) {}

BOOL CMaskDlg::OnInitDialog()
{
    HWND combo = GetDlgItem(IDC_MASK_COMBO);
    for (const char* pattern : kPatterns)
        ::SendMessageA(combo, CB_ADDSTRING, 0, LPARAM(pattern));
    SetDlgItemText(IDC_MASK_COMBO, m_strMask);
    return TRUE;
}

void CMaskDlg::OnOK()
{
    m_strMask = GetDlgItemText(IDC_MASK_COMBO);
    EndDialog(IDOK);
}
