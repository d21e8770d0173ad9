// The folder tree pane: creation of the tree with its drive roots, sizing, the press that lists a folder, and
// the drag of a folder out of the tree and drops on it.
#include "browser/DirView.h"

#include "app/FoveaApp.h"
#include "browser/FileView.h"
#include "browser/PaneDragDrop.h"
#include "fileops/PathNames.h"

namespace {
constexpr UINT kTreeId = 1;
constexpr COLORREF kMaskColour = RGB(255, 255, 255);
} // namespace

void CDirView::SetTreeFont(HFONT font)
{
    m_hTreeFont = font;
    if (m_wndTree.m_hWnd)
        m_wndTree.SetFont(font, true);
}

CString CDirView::SelectFolderAt(POINT viewPoint)
{
    ::MapWindowPoints(m_hWnd, m_wndTree.m_hWnd, &viewPoint, 1);
    HTREEITEM item = m_wndTree.HitTest(viewPoint);
    if (!item)
        return CString();
    m_wndTree.SelectItem(item);
    return m_wndTree.GetItemPath(item);
}

int CDirView::OnCreate()
{
    // Without OLE (or with a registration refused) the tree still works, only without drops.
    m_dropTarget.Register(this);
    // Without the bitmaps the tree still works, only without pictures.
    m_imageList.LoadStrip(kItemBitmapId, 16, kMaskColour);
    m_stateImageList.LoadStrip(kStateBitmapId, 16, kMaskColour);
    RECT client = GetClientRect();
    // The control's own tips are off: tips are the program's, and follow its tip setting. Each tree's tip
    // window was also a top-level window made at every start.
    const DWORD style = WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_SHOWSELALWAYS | TVS_NOTOOLTIPS;
    if (!m_wndTree.Create(style, client, m_hWnd, kTreeId))
        return -1;
    m_wndTree.SetImageList(m_imageList.m_hImageList, TVSIL_NORMAL);
    m_wndTree.SetImageList(m_stateImageList.m_hImageList, TVSIL_STATE);
    m_wndTree.m_startDrag = StartTreeDrag;
    CFoveaApp* app = FoveaApp();
    if (!app)
        return 0;
    SetTreeFont(app->GetFont(fovea::kFontFiler));
    m_wndTree.AddDriveRoots(app->m_astrDrives);
    m_wndTree.ExpandToPath(app->m_strStartDrive);
    return 0;
}

void CDirView::OnSize(int cx, int cy)
{
    if (m_wndTree.m_hWnd)
        m_wndTree.MoveWindow(0, 0, cx, cy, true);
}

LRESULT CDirView::OnBarCommand()
{
    CString folder = m_wndTree.GetSelectedPath();
    CFoveaApp* app = FoveaApp();
    if (folder.IsEmpty() || !app)
        return 0;
    if (!RefuseUnreachable(m_wndTree.GetSelectedItem()))
        return 0;
    if (app->m_pUpperTree == this && app->m_pUpperList)
        app->m_pUpperList->ShowFolder(folder);
    else if (app->m_pLowerTree == this && app->m_pLowerList)
        app->m_pLowerList->ShowFolder(folder);
    return 0;
}

bool CDirView::RefuseUnreachable(HTREEITEM item)
{
    if (m_wndTree.IsReachable(item))
        return true;
    CStringArray name;
    name.Add(m_wndTree.GetItemText(item));
    fovea::ReportUnreachable(this, name);
    return false;
}

void CDirView::StartTreeDrag(CDirTreeCtrl& tree, const CString& folder, POINT point)
{
    // A marked folder is not dragged; the press that follows tells why.
    if (folder.IsEmpty() || !tree.IsReachable(tree.GetSelectedItem()))
        return;
    CStringArray paths;
    paths.Add(folder);
    fovea::DragFromPane(&tree, point, paths);
}

DWORD CDirView::OnDragEnter(IDataObject* data, DWORD keyState, POINT point)
{
    return OnDragOver(data, keyState, point);
}

DWORD CDirView::OnDragOver(IDataObject* data, DWORD keyState, POINT point)
{
    return DROPEFFECT_COPY;
}

BOOL CDirView::OnDrop(IDataObject* data, DWORD keyState, POINT point)
{
    // A folder dragged out of this tree and dropped back on it does nothing.
    if (fovea::EndsOwnDrag(&m_wndTree))
        return TRUE;
    // Below the last item there is no folder to copy into: the drop is refused.
    CString target = SelectFolderAt(point);
    if (target.IsEmpty() || !RefuseUnreachable(m_wndTree.GetSelectedItem()))
        return FALSE;
    fovea::CopyDropInto(data, target);
    // The tree is not filled again: new folders appear when their parent is next opened.
    return TRUE;
}

LRESULT CDirView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_APP_BARCOMMAND:
        return OnBarCommand();
    default:
        return CView::WindowProc(message, wParam, lParam);
    }
}
