// The text view's edit control: edits wait for a text still loading.
#include "text/TextEdit.h"

bool CTextEdit::ChangesText(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
    case WM_IME_STARTCOMPOSITION:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REDO:
    case EM_REPLACESEL:
    case WM_SETTEXT:
        return true;
    case WM_KEYDOWN:
        // Moving about is not an edit; Delete, and the control's own Ctrl shortcuts (paste, cut, undo), are.
        return wParam == VK_DELETE || (wParam == VK_INSERT && (::GetKeyState(VK_SHIFT) & 0x8000)) ||
               (::GetKeyState(VK_CONTROL) & 0x8000);
    default:
        return false;
    }
}

LRESULT CTextEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_beforeEdit && ChangesText(message, wParam))
        m_beforeEdit();
    return CRichEditCtrl::WindowProc(message, wParam, lParam);
}
