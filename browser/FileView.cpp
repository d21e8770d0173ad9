// The file list pane.
#include "browser/FileView.h"

void CFileView::SetHeaderFont(HFONT font)
{
    m_hHeaderFont = font;
    Invalidate();
}

void CFileView::ShowAsText(int itemHeight, int iconWidth)
{
    m_bCatalog = 0;
    m_nItemHeight = itemHeight;
    m_nIconCol = iconWidth;
    Invalidate();
    UpdateWindow();
}

void CFileView::ShowFolder(const CString& folder)
{
    m_strFolder = folder;
    Invalidate();
}

void CFileView::OnDraw(HDC hdc)
{
    RECT client = GetClientRect();
    ::FillRect(hdc, &client, ::GetSysColorBrush(COLOR_WINDOW));
}
