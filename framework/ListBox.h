// CListBox: a standard list box control owned by its object; owner-drawn items reach DrawItem/MeasureItem.
#pragma once

#include "framework/Wnd.h"

class CListBox : public CWnd {
public:
    CListBox() { m_bBufferedPaint = true; }
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) { return CreateControl(0, "LISTBOX", "", style, rect, parent, id); }

    int GetCount() const { return int(SendMessage(LB_GETCOUNT)); }
    int GetCaretIndex() const { return int(SendMessage(LB_GETCARETINDEX)); }
    int SetCaretIndex(int index, bool scroll = true) const { return int(SendMessage(LB_SETCARETINDEX, WPARAM(index), scroll)); }
    int GetTopIndex() const { return int(SendMessage(LB_GETTOPINDEX)); }
    int SetTopIndex(int index) const { return int(SendMessage(LB_SETTOPINDEX, WPARAM(index))); }
    int GetSel(int index) const { return int(SendMessage(LB_GETSEL, WPARAM(index))); }
    // Multiple-selection lists: select or clear one item (-1: all items).
    int SetSel(int index, bool select = true) const { return int(SendMessage(LB_SETSEL, select, LPARAM(index))); }
    int GetSelCount() const { return int(SendMessage(LB_GETSELCOUNT)); }
    int GetCurSel() const { return int(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) const { return int(SendMessage(LB_SETCURSEL, WPARAM(index))); }
    int AddString(const char* text) const { return int(SendMessage(LB_ADDSTRING, 0, LPARAM(text))); }
    bool SetItemData(int index, LPARAM data) const
    {
        return SendMessage(LB_SETITEMDATA, WPARAM(index), data) != LB_ERR;
    }
    LPARAM GetItemData(int index) const { return LPARAM(SendMessage(LB_GETITEMDATA, WPARAM(index))); }
    int InsertString(int index, const char* text) const
    {
        return int(SendMessage(LB_INSERTSTRING, WPARAM(index), LPARAM(text)));
    }
    int DeleteString(int index) const { return int(SendMessage(LB_DELETESTRING, WPARAM(index))); }
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
    CString GetText(int index) const;
    RECT GetItemRect(int index) const;
    void SetColumnWidth(int width) const { SendMessage(LB_SETCOLUMNWIDTH, WPARAM(width)); }
    void SetItemHeight(int index, int height) const { SendMessage(LB_SETITEMHEIGHT, WPARAM(index), MAKELPARAM(height, 0)); }

    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    virtual void DrawItem(const DRAWITEMSTRUCT& item) {}
    virtual void MeasureItem(MEASUREITEMSTRUCT& item) {}
};
