// CDirView: the folder tree pane of a filer; a press on a folder shows it in the paired file list.
#pragma once

#include "browser/DirTreeCtrl.h"
#include "framework/FrameWnd.h"
#include "framework/ImageList.h"

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

    // The image lists outlive the tree control that shows them (members are destroyed in reverse order).
    CImageList m_imageList;
    CImageList m_stateImageList;
    CDirTreeCtrl m_wndTree;
    HFONT m_hTreeFont = nullptr; // owned by the application's font table
};
