// The folder tree pane: creation of the tree with its drive roots, sizing, and the press that lists a folder.
#include "browser/DirView.h"

#include "app/FoveaApp.h"
#include "browser/FileView.h"

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
    // Without the bitmaps the tree still works, only without pictures.
    m_imageList.LoadStrip(kItemBitmapId, 16, kMaskColour);
    m_stateImageList.LoadStrip(kStateBitmapId, 16, kMaskColour);
    RECT client = GetClientRect();
    if (!m_wndTree.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_SHOWSELALWAYS, client, m_hWnd, kTreeId))
        return -1;
    m_wndTree.SetImageList(m_imageList.m_hImageList, TVSIL_NORMAL);
    m_wndTree.SetImageList(m_stateImageList.m_hImageList, TVSIL_STATE);
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
    if (app->m_pUpperTree == this && app->m_pUpperList)
        app->m_pUpperList->ShowFolder(folder);
    else if (app->m_pLowerTree == this && app->m_pLowerList)
        app->m_pLowerList->ShowFolder(folder);
    return 0;
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
