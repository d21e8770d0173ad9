// Modal and modeless dialogs: one static dialog procedure dispatching to the object's DialogProc.
#include "framework/Dialog.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<HWND>& ModelessDialogs()
{
    static std::vector<HWND> dialogs;
    return dialogs;
}

}  // namespace

INT_PTR CDialog::DoModal()
{
    m_bModal = true;
    HWND parent = m_pParent ? m_pParent->m_hWnd : ::GetActiveWindow();
    INT_PTR result = ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nTemplateId), parent,
                                       StaticDialogProc, LPARAM(this));
    m_bModal = false;
    return result;
}

bool CDialog::Create(UINT templateId, CWnd* parent)
{
    m_nTemplateId = templateId;
    m_pParent = parent;
    m_bModal = false;
    HWND hwnd = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                     parent ? parent->m_hWnd : nullptr, StaticDialogProc, LPARAM(this));
    if (!hwnd)
        return false;
    ModelessDialogs().push_back(hwnd);
    return true;
}

void CDialog::EndDialog(INT_PTR result)
{
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        ::ShowWindow(m_hWnd, SW_HIDE);
}

CString CDialog::GetDlgItemText(int id) const
{
    HWND control = GetDlgItem(id);
    int length = control ? ::GetWindowTextLengthA(control) : 0;
    CString text;
    if (length > 0) {
        int copied = ::GetWindowTextA(control, text.GetBuffer(length + 1), length + 1);
        text.ReleaseBuffer(copied);
    }
    return text;
}

bool CDialog::PreTranslateModeless(MSG& msg)
{
    for (HWND dialog : ModelessDialogs()) {
        if (::IsWindow(dialog) && (msg.hwnd == dialog || ::IsChild(dialog, msg.hwnd)) &&
            ::IsDialogMessageA(dialog, &msg))
            return true;
    }
    return false;
}

INT_PTR CDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT reflected = 0;
    if (ReflectToChild(m_hWnd, message, wParam, lParam, &reflected)) {
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
            return INT_PTR(reflected);
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, reflected);
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(LOWORD(wParam), HIWORD(wParam), HWND(lParam));
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = static_cast<CDialog*>(CWnd::FromHandle(hwnd));
    if (!dialog && message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Bind(hwnd);
    }
    if (!dialog)
        return FALSE;
    INT_PTR result = FALSE;
    // No C++ exception may unwind through user32.
    try {
        result = dialog->DialogProc(message, wParam, lParam);
    } catch (...) {
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        auto& dialogs = ModelessDialogs();
        dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), hwnd), dialogs.end());
        dialog->Unbind();
        dialog->PostNcDestroy();
    }
    return result;
}
