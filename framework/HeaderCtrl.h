// CHeaderCtrl: the common column header control, owned by its object; items carry text and a width.
#pragma once

#include "framework/Wnd.h"

class CHeaderCtrl : public CWnd {
public:
    CHeaderCtrl() { m_bBufferedPaint = true; }
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CreateControl(0, WC_HEADERA, "", style, rect, parent, id);
    }

    int GetItemCount() const { return int(SendMessage(HDM_GETITEMCOUNT)); }
    // Inserts a text item at index; returns its index, or -1.
    int InsertItem(int index, const char* text, int width) const
    {
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.fmt = HDF_STRING | HDF_LEFT;
        item.pszText = const_cast<char*>(text);
        item.cxy = width;
        return int(SendMessage(HDM_INSERTITEMA, WPARAM(index), LPARAM(&item)));
    }
    // The item's width in pixels, or -1 when there is no such item.
    int GetItemWidth(int index) const
    {
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        return SendMessage(HDM_GETITEMA, WPARAM(index), LPARAM(&item)) ? item.cxy : -1;
    }
    // Changes one width; the control tells its parent (HDN_ITEMCHANGING, HDN_ITEMCHANGED) as for a drag.
    bool SetItemWidth(int index, int width) const
    {
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        item.cxy = width;
        return SendMessage(HDM_SETITEMA, WPARAM(index), LPARAM(&item)) != 0;
    }
    CString GetItemText(int index) const
    {
        char text[256] = {};
        HDITEMA item = {};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = int(sizeof text);
        SendMessage(HDM_GETITEMA, WPARAM(index), LPARAM(&item));
        return CString(text);
    }
};
