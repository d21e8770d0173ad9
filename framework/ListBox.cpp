// List box helpers that need more than a message.
#include "framework/ListBox.h"

CString CListBox::GetText(int index) const
{
    int length = int(SendMessage(LB_GETTEXTLEN, WPARAM(index)));
    if (length <= 0)
        return CString();
    CString text;
    SendMessage(LB_GETTEXT, WPARAM(index), LPARAM(text.GetBuffer(length + 1)));
    text.ReleaseBuffer();
    return text;
}

RECT CListBox::GetItemRect(int index) const
{
    RECT r = {};
    SendMessage(LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
    return r;
}

bool CListBox::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        *result = TRUE;
        return true;
    case WM_MEASUREITEM:
        MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        *result = TRUE;
        return true;
    default:
        return false;
    }
}
