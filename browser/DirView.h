// CDirView: the folder tree pane of a filer; a press on a folder shows it in the paired file list or drags it
// out, and files and folders dropped on a folder are copied into it.
#pragma once

#include "browser/DirTreeCtrl.h"
#include "framework/FrameWnd.h"
#include "framework/ImageList.h"
#include "framework/OleDropTarget.h"

class CDirView : public CView {
public:
    // The font of the tree control (font slot 1); re-sent to the control at once.
    void SetTreeFont(HFONT font);
    HFONT GetTreeFont() const { return m_hTreeFont; }

    CDirTreeCtrl& GetTree() { return m_wndTree; }
    // For a drop on the view: selects the folder under a point in view coordinates without telling the file
    // list, and returns its path; empty when the point is on no item.
    CString SelectFolderAt(POINT viewPoint);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Drops: any drag is offered the copy; a drop copies into the folder under the point.
    DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINT point) override;
    DWORD OnDragOver(IDataObject* data, DWORD keyState, POINT point) override;
    BOOL OnDrop(IDataObject* data, DWORD keyState, POINT point) override;
    COleDropTarget& GetDropTarget() { return m_dropTarget; }

    // Bitmap resources of the item and state images, 16 pixels per image, white transparent.
    static constexpr UINT kItemBitmapId = 143;
    static constexpr UINT kStateBitmapId = 144;

protected:
    const char* ClassName() const override { return "FoveaDirView"; }
    void OnDraw(HDC hdc) override {}

private:
    int OnCreate();
    void OnSize(int cx, int cy);
    LRESULT OnBarCommand();

    // Drags the one folder pressed in the tree out of it.
    static void StartTreeDrag(CDirTreeCtrl& tree, const CString& folder, POINT point);
    // True when item is reachable; otherwise tells the user why nothing is done with it.
    bool RefuseUnreachable(HTREEITEM item);

    // Revoked last, after the tree control is gone (members are destroyed in reverse order); the view's
    // WM_DESTROY revokes it too.
    COleDropTarget m_dropTarget;
    // The image lists outlive the tree control that shows them.
    CImageList m_imageList;
    CImageList m_stateImageList;
    CDirTreeCtrl m_wndTree;
    HFONT m_hTreeFont = nullptr; // owned by the application's font table
};
