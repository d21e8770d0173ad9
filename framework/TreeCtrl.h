// CTreeCtrl: a subclassed common-controls tree view (SysTreeView32), ANSI messages throughout.
#pragma once

#include "framework/Wnd.h"

class CTreeCtrl : public CWnd {
public:
    CTreeCtrl() { m_bBufferedPaint = true; }
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CreateControl(0, WC_TREEVIEWA, "", style, rect, parent, id);
    }

    HTREEITEM InsertItem(const char* text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST) const
    {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<char*>(text);
        return HTREEITEM(SendMessage(TVM_INSERTITEMA, 0, LPARAM(&insert)));
    }
    bool DeleteItem(HTREEITEM item) const { return SendMessage(TVM_DELETEITEM, 0, LPARAM(item)) != 0; }

    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const
    {
        return HTREEITEM(SendMessage(TVM_GETNEXTITEM, code, LPARAM(item)));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    bool SelectItem(HTREEITEM item) const { return SendMessage(TVM_SELECTITEM, TVGN_CARET, LPARAM(item)) != 0; }
    bool Expand(HTREEITEM item, UINT code) const { return SendMessage(TVM_EXPAND, code, LPARAM(item)) != 0; }
    int GetCount() const { return int(SendMessage(TVM_GETCOUNT)); }

    CString GetItemText(HTREEITEM item) const
    {
        // A file name has at most 255 UTF-16 units, at most 510 bytes in code page 932.
        char buffer[1024] = {};
        TVITEMA tvi = {};
        tvi.mask = TVIF_TEXT;
        tvi.hItem = item;
        tvi.pszText = buffer;
        tvi.cchTextMax = int(sizeof buffer);
        if (!item || !SendMessage(TVM_GETITEMA, 0, LPARAM(&tvi)))
            return CString();
        return CString(tvi.pszText ? tvi.pszText : "");
    }
    bool SetItemImage(HTREEITEM item, int image, int selectedImage) const
    {
        TVITEMA tvi = {};
        tvi.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        tvi.hItem = item;
        tvi.iImage = image;
        tvi.iSelectedImage = selectedImage;
        return SendMessage(TVM_SETITEMA, 0, LPARAM(&tvi)) != 0;
    }
    // Image and selected image of the item, or false when the item is not in the tree.
    bool GetItemImage(HTREEITEM item, int& image, int& selectedImage) const
    {
        TVITEMA tvi = {};
        tvi.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        tvi.hItem = item;
        if (!item || !SendMessage(TVM_GETITEMA, 0, LPARAM(&tvi)))
            return false;
        image = tvi.iImage;
        selectedImage = tvi.iSelectedImage;
        return true;
    }
    bool SetItemData(HTREEITEM item, LPARAM data) const
    {
        TVITEMA tvi = {};
        tvi.mask = TVIF_PARAM;
        tvi.hItem = item;
        tvi.lParam = data;
        return SendMessage(TVM_SETITEMA, 0, LPARAM(&tvi)) != 0;
    }
    LPARAM GetItemData(HTREEITEM item) const
    {
        TVITEMA tvi = {};
        tvi.mask = TVIF_PARAM;
        tvi.hItem = item;
        return item && SendMessage(TVM_GETITEMA, 0, LPARAM(&tvi)) ? tvi.lParam : 0;
    }
    bool SetItemState(HTREEITEM item, UINT state, UINT mask) const
    {
        TVITEMA tvi = {};
        tvi.mask = TVIF_STATE;
        tvi.hItem = item;
        tvi.state = state;
        tvi.stateMask = mask;
        return SendMessage(TVM_SETITEMA, 0, LPARAM(&tvi)) != 0;
    }
    UINT GetItemState(HTREEITEM item, UINT mask) const
    {
        return item ? UINT(SendMessage(TVM_GETITEMSTATE, WPARAM(item), LPARAM(mask))) : 0;
    }
    // The item under a point in client coordinates, or null.
    HTREEITEM HitTest(POINT point, UINT* flags = nullptr) const
    {
        TVHITTESTINFO hit = {};
        hit.pt = point;
        HTREEITEM item = HTREEITEM(SendMessage(TVM_HITTEST, 0, LPARAM(&hit)));
        if (flags)
            *flags = hit.flags;
        return item;
    }
    // The rectangle of the item's text (textOnly) or of its whole line, in client coordinates.
    bool GetItemRect(HTREEITEM item, RECT& rect, bool textOnly) const
    {
        // TVM_GETITEMRECT takes the item in the first field of the rectangle.
        *reinterpret_cast<HTREEITEM*>(&rect) = item;
        return item && SendMessage(TVM_GETITEMRECT, textOnly, LPARAM(&rect)) != 0;
    }
    // Assigns an image list (TVSIL_NORMAL or TVSIL_STATE); the tree does not take ownership.
    HIMAGELIST SetImageList(HIMAGELIST list, int kind) const
    {
        return HIMAGELIST(SendMessage(TVM_SETIMAGELIST, WPARAM(kind), LPARAM(list)));
    }
};
