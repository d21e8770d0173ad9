// The folder tree pane.
#include "browser/DirView.h"

void CDirView::SetTreeFont(HFONT font)
{
    m_hTreeFont = font;
    Invalidate();
}

void CDirView::OnDraw(HDC hdc)
{
    RECT client = GetClientRect();
    ::FillRect(hdc, &client, ::GetSysColorBrush(COLOR_WINDOW));
}
