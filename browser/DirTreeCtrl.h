// CDirTreeCtrl: the tree control of a folder tree: drive roots, folders filled lazily, paths rebuilt from texts.
#pragma once

#include <functional>

#include "framework/TreeCtrl.h"

class CDirTreeCtrl : public CTreeCtrl {
public:
    // State image indexes (the item's state-image bits).
    enum { kStateNoSubfolder = 1, kStateClosed = 2, kStateOpen = 3 };
    // Item data of a folder shown marked.
    static constexpr LPARAM kUnreachable = 1;

    // One root per drive entry ("3/C:"), in order, closed, with the image of its drive type.
    void AddDriveRoots(const CStringArray& drives);
    // Image and selected image of a root by the drive-type digit of its entry.
    static void RootImages(char type, int& image, int& selectedImage);

    // False for a folder no call of the program reaches (its name, or a parent's, has no Shift-JIS spelling and
    // no short name): it is shown marked and nothing is done with it.
    bool IsReachable(HTREEITEM item) const;
    CString GetSelectedPath() const;
    // "C:" for a root, "C:\A\B" for a folder, empty for no item.
    CString GetItemPath(HTREEITEM item) const;
    // Opens the tree along path, reading each level again, and selects the last folder found; a component
    // that no longer exists stops the walk there. Returns the selected item, or null when no root matches.
    HTREEITEM ExpandToPath(const CString& path);
    HTREEITEM FillChildren(const CString& folder, HTREEITEM item);
    static int HasSubfolders(const CString& folder);
    // Exact comparison, or ignoring the case of ASCII letters.
    HTREEITEM FindChild(HTREEITEM item, const CString& name, bool ignoreCase = false) const;
    void ToggleExpand();

    int GetStateIndex(HTREEITEM item) const { return int(GetItemState(item, TVIS_STATEIMAGEMASK) >> 12); }
    void SetStateIndex(HTREEITEM item, int index) const
    {
        SetItemState(item, INDEXTOSTATEIMAGEMASK(index), TVIS_STATEIMAGEMASK);
    }

    // Run by a press after the selection and the drag start are recorded, with the selected folder's path and
    // the press point (client coordinates): the drag of a folder out of the tree starts here (the view sets
    // it). Without it a press only selects.
    std::function<void(CDirTreeCtrl& tree, const CString& folder, POINT point)> m_startDrag;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnLButtonDown(POINT point);
    void OnLButtonDblClk(POINT point);
    void OpenItem(const CString& folder, HTREEITEM item);
    void NotifyView() const;
};
