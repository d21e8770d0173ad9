// The view pane: until a picture or text is opened it shows the background.
#include "image/FoveaView.h"

void CFoveaView::SetTextFont(HFONT font)
{
    m_hTextFont = font;
    Invalidate();
}

void CFoveaView::ShowFile(const CString& path)
{
    m_strPath = path;
    Invalidate();
}

void CFoveaView::OnDraw(HDC hdc)
{
    RECT client = GetClientRect();
    ::FillRect(hdc, &client, ::GetSysColorBrush(COLOR_APPWORKSPACE));
}
