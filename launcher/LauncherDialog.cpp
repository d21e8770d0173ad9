// The dispatch the launcher window and the extension menu share.
#include "launcher/LauncherDialog.h"

#include "launcher/ProgramEntries.h"

CLauncherDialog::CLauncherDialog(UINT templateId)
    : CDialog(templateId), m_dropTarget([this](const CStringArray& paths, POINT screen) { OnDropFiles(paths, screen); })
{
}

INT_PTR CLauncherDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        Layout(HIWORD(lParam));
        return TRUE;
    case WM_APP_BARCOMMAND:
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, OnBarCommand(wParam));
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
        return fovea::LauncherControlColor(HDC(wParam));
    case WM_DESTROY:
        m_dropTarget.Revoke();
        return FALSE;
    case WM_CLOSE:
        OnCancel();
        return TRUE;
    default:
        return CDialog::DialogProc(message, wParam, lParam);
    }
}

void CLauncherDialog::OnOK()
{
    HWND focus = ::GetFocus();
    if (focus && ::GetParent(focus) == m_hWnd)
        ::SendMessageA(m_hWnd, WM_APP_BARCOMMAND, WPARAM(::GetDlgCtrlID(focus)), 0);
}
