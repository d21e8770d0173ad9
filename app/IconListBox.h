// CIconListBox: the owner-drawn list of every command strip and launcher list. It draws its items by a drawing
// mode, and turns a press on an item into WM_APP_BARCOMMAND to its parent.
#pragma once

#include "framework/ImageList.h"
#include "framework/ListBox.h"

class CIconListBox : public CListBox {
public:
    // Window styles of a command strip.
    static constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_MULTICOLUMN | LBS_HASSTRINGS |
                                       LBS_OWNERDRAWFIXED | LBS_MULTIPLESEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;

    // Stores the five values, sets the list's column width and item height and loads the mode's picture strip.
    void SetupBar(int id, int mode, int iconZone, int columnWidth, int itemHeight);
    int ItemFromPoint(int x, int y) const;
    // Empties the list and adds the full paths of folder's entries whose attributes match the kind:
    // 0 folders and files, 1 files, 2 folders. An entry whose name has no Shift-JIS spelling is added by its
    // short name, or marked and flagged when it has none.
    void FillFromFolder(const CString& folder, int kind);
    // False for an entry added marked: no call of the program reaches it.
    bool IsReachableItem(int index) const;
    static constexpr LPARAM kUnreachable = 1;
    // A one-pixel frame: raised = white left and top, black right and bottom; sunken the other way round.
    static void Frame3D(HDC hdc, const RECT& rect, bool raised);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int m_nId = 0;
    int m_nMode = 0;
    int m_nIconZone = 0;
    int m_nColumnWidth = 200;
    int m_nItemHeight = 40;
    int m_nImageOffset = 0;
    CImageList m_imageList;

protected:
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    void MeasureItem(MEASUREITEMSTRUCT& item) override { item.itemHeight = UINT(m_nItemHeight); }

private:
    void OnLButtonDown(int x, int y);
    void StartDrag(int x, int y);
    void DrawPageItem(HDC hdc, const RECT& r, int index, bool entire, bool selected);
    void DrawEntryItem(HDC hdc, const RECT& r, int index, bool entire, bool selected, bool focus);
    void DrawDriveItem(HDC hdc, const RECT& r, int index, bool entire, bool focus);
    void DrawButtonItem(HDC hdc, const RECT& r, int index, bool entire, bool focus);
};
