// The file list pane: its children and their layout, the header's sort and widths, painting and colours, and
// the commands of the list and of its drive, navigation and display mode strips (the file command strip's are
// in FileViewCommands.cpp).
#include "browser/FileView.h"

#include <algorithm>

#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "fileops/FileOps.h"
#include "browser/DirView.h"
#include "browser/PaneDragDrop.h"
#include "fileops/PathNames.h"
#include "framework/Handles.h"
#include "image/FoveaView.h"
#include "launcher/LauncherPane.h"

namespace {

constexpr int kHeaderItems = 6;
const char* const kHeaderTexts[kHeaderItems] = {"アイコン", "ファイル名", "拡張子", "サイズ", "日付", "高さ"};

// A value below 0 stands for the application's text line height or icon width.
constexpr int kLineHeight = -1;
constexpr int kIconWidth = -2;

struct DisplayMode {
    int catalog;
    int height, icon, name, ext, size, date;
};
const DisplayMode kDisplayModes[] = {
    {1, 60, 80, 0, 0, 0, 0},
    {1, 70, 100, 0, 0, 0, 0},
    {1, 100, 160, 0, 0, 0, 0},
    {0, kLineHeight, kIconWidth, 150, 50, 0, 0},
    {0, kLineHeight, kIconWidth, 150, 50, 130, 0},
    {0, kLineHeight, kIconWidth, 150, 50, 130, 200},
};

struct StripSetup {
    CIconListBox CFileView::*bar;
    int id, mode, columnWidth, buttons;
    bool horizontal;
};

// The depth of samples follows the display's: 24 above 8 bits per pixel, else the display's own.
void RecordSampleDepth(CFoveaApp& app, HDC hdc)
{
    int bits = ::GetDeviceCaps(hdc, BITSPIXEL) * ::GetDeviceCaps(hdc, PLANES);
    app.m_nSampleBits = bits <= 8 ? bits : 24;
}

} // namespace

int CFileView::OnCreate()
{
    CFoveaApp* app = FoveaApp();
    // Without OLE the view works, only without drops.
    m_dropTarget.Register(this);
    // A child that cannot be made is simply missing; the view carries on without it.
    if (m_wndHeader.Create(WS_CHILD | WS_VISIBLE | HDS_BUTTONS, RECT{0, 0, 500, 20}, m_hWnd, kHeaderId)) {
        if (app)
            m_wndHeader.SetFont(app->GetFont(fovea::kFontHeader), false);
        for (int i = 0; i < kHeaderItems; ++i)
            m_wndHeader.InsertItem(i, kHeaderTexts[i], 50);
    }
    if (m_wndList.Create(CFileListBox::kListStyle, RECT{0, 0, 400, 200}, m_hWnd, kListId)) {
        if (app)
            m_wndList.SetFont(app->GetFont(fovea::kFontFiler), false);
        m_wndList.m_bCatalog = 0;
        SetColumns(app ? app->m_nListItemHeight : 0, app ? app->m_nIconWidth : 0, 150, 50, 0, 0);
    }

    const DWORD vertical = CIconListBox::kBarStyle;
    const DWORD horizontal = (CIconListBox::kBarStyle & ~DWORD(WS_VSCROLL)) | WS_HSCROLL;
    const StripSetup strips[] = {
        {&CFileView::m_wndFileBar, kFileBarId, 4, 30, 11, false},
        {&CFileView::m_wndModeBar, kModeBarId, 13, 30, 6, true},
        {&CFileView::m_wndNavBar, kNavBarId, 5, 30, 8, false},
        {&CFileView::m_wndDriveBar, kDriveBarId, 3, 40, 0, true},
    };
    RECT empty = {0, 0, 0, 0};
    for (const StripSetup& s : strips) {
        CIconListBox& bar = this->*s.bar;
        if (bar.Create(s.horizontal ? horizontal : vertical, empty, m_hWnd, kStripControlId))
            bar.SetupBar(s.id, s.mode, 0, s.columnWidth, 24);
    }

    if (app) {
        // The first listing loads the bank of the sample depth: the display is asked now, before any paint.
        fovea::ScopedGetDC viewDC(m_hWnd);
        if (viewDC.get())
            RecordSampleDepth(*app, viewDC.get());
        m_wndList.SetPath(app->m_strStartDrive);
    }

    if (m_wndDriveBar.m_hWnd && app)
        for (int i = 0; i < app->m_astrDrives.GetSize(); ++i)
            m_wndDriveBar.AddString(app->m_astrDrives[i]);
    for (const StripSetup& s : strips) {
        CIconListBox& bar = this->*s.bar;
        if (bar.m_hWnd)
            for (int i = 0; i < s.buttons; ++i)
                bar.AddString("XXX");
    }
    return 0;
}

void CFileView::OnSize(int cx, int cy)
{
    CFoveaApp* app = FoveaApp();
    int h = app ? app->m_nHeaderHeight : 0;
    int middle = std::max(0, cy - 2 * kStripHeight);
    if (m_wndFileBar.m_hWnd)
        m_wndFileBar.MoveWindow(0, 0, cx, kStripHeight);
    if (m_wndNavBar.m_hWnd)
        m_wndNavBar.MoveWindow(0, cy - kStripHeight, cx, kStripHeight);
    if (m_wndDriveBar.m_hWnd)
        m_wndDriveBar.MoveWindow(0, kStripHeight, 40, middle);
    if (m_wndModeBar.m_hWnd)
        m_wndModeBar.MoveWindow(40, kStripHeight, 60, middle);
    if (m_wndHeader.m_hWnd)
        m_wndHeader.MoveWindow(kLeftStripsWidth, kStripHeight, std::max(0, cx - kLeftStripsWidth), h);
    if (m_wndList.m_hWnd)
        m_wndList.MoveWindow(kLeftStripsWidth, kStripHeight + h, std::max(0, cx - kLeftStripsWidth),
                             std::max(0, cy - h - 2 * kStripHeight));
}

void CFileView::SetColumns(int height, int icon, int name, int ext, int size, int date)
{
    if (!m_wndList.m_hWnd)
        return;
    m_wndList.ShowWindow(SW_HIDE);
    if (m_wndHeader.m_hWnd) {
        const int widths[kHeaderItems] = {icon, name, ext, size, date, height};
        m_bSettingColumns = true;
        for (int i = 0; i < kHeaderItems; ++i)
            m_wndHeader.SetItemWidth(i, widths[i]);
        m_bSettingColumns = false;
    }
    m_wndList.SetColumns(height, icon, name, ext, size, date);
    PlaceList();
}

void CFileView::PlaceList()
{
    CFoveaApp* app = FoveaApp();
    int h = app ? app->m_nHeaderHeight : 0;
    RECT r = GetWindowRect();
    m_wndList.MoveWindow(kLeftStripsWidth, h + kStripHeight, std::max(0, int(r.right - r.left) - kLeftStripsWidth),
                         std::max(0, int(r.bottom - r.top) - h - 2 * kStripHeight));
    m_wndList.ShowWindow(SW_SHOW);
    if (m_wndHeader.m_hWnd)
        ::RedrawWindow(m_wndHeader.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CFileView::SetDisplayMode(int button)
{
    if (button < 0 || button >= int(std::size(kDisplayModes)))
        return;
    CFoveaApp* app = FoveaApp();
    const DisplayMode& mode = kDisplayModes[button];
    auto value = [&](int v) {
        if (v == kLineHeight)
            return app ? int(app->m_nListItemHeight) : 0;
        if (v == kIconWidth)
            return app ? int(app->m_nIconWidth) : 0;
        return v;
    };
    m_wndList.m_bCatalog = mode.catalog;
    SetColumns(value(mode.height), value(mode.icon), mode.name, mode.ext, mode.size, mode.date);
}

void CFileView::ShowAsText(int itemHeight, int iconWidth)
{
    m_wndList.m_bCatalog = 0;
    SetColumns(itemHeight, iconWidth, 150, 50, 0, 0);
    if (m_wndList.m_hWnd) {
        m_wndList.Invalidate();
        m_wndList.UpdateWindow();
    }
}

void CFileView::SetHeaderFont(HFONT font)
{
    if (m_wndHeader.m_hWnd)
        m_wndHeader.SetFont(font, true);
    // The header's height follows the font, and the drive letters are drawn in it too.
    RECT client = GetClientRect();
    OnSize(client.right, client.bottom);
    if (m_wndDriveBar.m_hWnd)
        m_wndDriveBar.Invalidate();
}

HFONT CFileView::GetHeaderFont() const
{
    return m_wndHeader.m_hWnd ? HFONT(m_wndHeader.SendMessage(WM_GETFONT)) : nullptr;
}

void CFileView::OnHeaderClick(int item)
{
    switch (item) {
    case 1:
        m_wndList.SetSort(fovea::kKeyName, 0);
        break;
    case 2:
        m_wndList.SetSort(fovea::kKeyExtName, 0);
        break;
    case 4:
        m_wndList.SetSort(fovea::kKeyDate, 0);
        break;
    default:
        break; // the other columns list again in the same order
    }
    m_wndList.Refresh();
}

void CFileView::OnHeaderChanged()
{
    if (m_bSettingColumns || !m_wndList.m_hWnd)
        return;
    int w[kHeaderItems];
    for (int i = 0; i < kHeaderItems; ++i)
        w[i] = std::max(0, m_wndHeader.GetItemWidth(i));
    // In a text display the user's row height and icon column are kept for the later text displays.
    CFoveaApp* app = FoveaApp();
    if (!m_wndList.m_bCatalog && app) {
        app->m_nListItemHeight = w[5];
        app->m_nIconWidth = w[0];
    }
    m_wndList.SetColumns(w[5], w[0], w[1], w[2], w[3], w[4]);
    PlaceList();
}

LRESULT CFileView::OnNotify(NMHDR* header)
{
    if (header->hwndFrom == m_wndHeader.m_hWnd && header->idFrom == kHeaderId) {
        switch (header->code) {
        case HDN_ITEMCLICKA:
        case HDN_ITEMCLICKW:
            OnHeaderClick(reinterpret_cast<NMHEADERA*>(header)->iItem);
            return 0;
        case HDN_ITEMCHANGEDA:
        case HDN_ITEMCHANGEDW:
            OnHeaderChanged();
            return 0;
        default:
            break;
        }
    }
    return Default();
}

void CFileView::OnDraw(HDC hdc)
{
    CFoveaApp* app = FoveaApp();
    RECT client = GetClientRect();
    if (!app) {
        ::FillRect(hdc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    // The panes take their background from the status bar, as the platform paints it.
    if (app->m_pMainFrame && app->m_pMainFrame->m_wndStatusBar.m_hWnd) {
        HWND bar = app->m_pMainFrame->m_wndStatusBar.m_hWnd;
        ::RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        fovea::ScopedGetDC barDC(bar);
        COLORREF colour = ::GetPixel(barDC.get(), 5, 5);
        if (app->m_clrBackground == COLORREF(-1) && colour != CLR_INVALID) {
            app->m_clrBackground = colour;
            app->m_pBackgroundBrush.reset(::CreateSolidBrush(colour));
            app->m_pMainFrame->RepaintStrips();
        }
    }
    ::FillRect(hdc, &client,
               app->m_pBackgroundBrush ? app->m_pBackgroundBrush.get() : ::GetSysColorBrush(COLOR_BTNFACE));
    RecordSampleDepth(*app, hdc);
    // The status bar was just repainted: the drive line of this folder goes back over it.
    CFileOps().ShowDriveInfo(GetFolder());
}

LRESULT CFileView::OnCtlColor(UINT message, HDC hdc, HWND control)
{
    LRESULT result = Default();
    if (m_wndList.m_palette.GetSafeHandle()) {
        bool background = ::GetFocus() != m_wndList.m_hWnd;
        ::SelectPalette(hdc, m_wndList.m_palette, background ? TRUE : FALSE);
        ::RealizePalette(hdc);
    }
    CFoveaApp* app = FoveaApp();
    if (!app)
        return result;
    bool hasBackground = app->m_clrBackground != COLORREF(-1);
    if (control == m_wndList.m_hWnd) {
        if (hasBackground)
            ::SetBkColor(hdc, app->m_clrBackground);
        if (HFONT font = app->GetFont(fovea::kFontFiler))
            ::SelectObject(hdc, font);
    } else if (control == m_wndDriveBar.m_hWnd) {
        if (HFONT font = app->GetFont(fovea::kFontHeader))
            ::SelectObject(hdc, font);
        if (hasBackground)
            ::SetBkColor(hdc, app->m_clrBackground);
    } else if (control == m_wndHeader.m_hWnd) {
        if (HFONT font = app->GetFont(fovea::kFontHeader))
            ::SelectObject(hdc, font);
    }
    return app->m_pBackgroundBrush ? LRESULT(app->m_pBackgroundBrush.get()) : result;
}

CDirView* CFileView::PairedTree() const
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return nullptr;
    if (app->m_pUpperList == this)
        return app->m_pUpperTree;
    if (app->m_pLowerList == this)
        return app->m_pLowerTree;
    return nullptr;
}

void CFileView::ListFolder(const CString& folder, bool syncTree)
{
    m_wndList.SetPath(folder);
    if (!syncTree)
        return;
    if (CDirView* tree = PairedTree())
        tree->GetTree().ExpandToPath(folder);
}

void CFileView::FocusViewPane() const
{
    CFoveaApp* app = FoveaApp();
    if (app && app->m_pPicView && app->m_pPicView->m_hWnd)
        ::SetFocus(app->m_pPicView->GetDisplayWindow());
}

void CFileView::OnItemOpen()
{
    int i = m_wndList.GetCaretIndex();
    if (i < 0 || i >= m_wndList.GetCount())
        return;
    if (!m_wndList.IsReachableItem(i)) {
        CStringArray name;
        name.Add(m_wndList.GetItemFileName(i));
        fovea::ReportUnreachable(this, name);
        return;
    }
    CString path = m_wndList.m_strPath + "\\" + m_wndList.GetItemFileName(i);
    if (m_wndList.IsFolderItem(i) == 1) {
        ListFolder(path, true);
        return;
    }
    CFoveaApp* app = FoveaApp();
    if (app && app->m_nClickMode == 0 && app->m_pExtMenu) {
        app->m_pExtMenu->PopUpAtPointer(path, CString(m_wndList.GetItemFields(i).extension));
    } else if (app && app->m_nClickMode == 1 && app->m_pPicView) {
        FocusViewPane();
        app->m_pPicView->OpenFile(path);
    }
}

void CFileView::OnDriveBarCommand(int button)
{
    if (button < 0 || button >= m_wndDriveBar.GetCount())
        return;
    CString drive = CFoveaApp::DriveOfEntry(m_wndDriveBar.GetText(button));
    ListFolder(drive, true);
}

void CFileView::GoToParent()
{
    const CString& path = m_wndList.m_strPath;
    int cut = path.ReverseFind('\\');
    if (cut < 0)
        return; // a drive root has no parent
    CString name = path.Mid(cut + 1);
    CString parent = path.Left(cut);
    m_wndList.SetPath(parent);
    int found = int(m_wndList.SendMessage(LB_FINDSTRING, 0, LPARAM(name.c_str())));
    if (found != LB_ERR)
        m_wndList.SetCaretIndex(found, true);
    if (CDirView* tree = PairedTree())
        tree->GetTree().ExpandToPath(parent);
}

int CFileView::RowsPerColumn() const
{
    int height = std::max(1, m_wndList.m_nItemHeight);
    return std::max(1, int(m_wndList.GetClientRect().bottom) / height);
}

int CFileView::VisibleColumns() const
{
    if (m_wndList.m_nColumnWidth <= 0)
        return 1;
    return std::max(1, int(m_wndList.GetClientRect().right) / m_wndList.m_nColumnWidth);
}

void CFileView::ScrollBy(int delta)
{
    int count = m_wndList.GetCount();
    if (count == 0)
        return;
    int top = std::clamp(m_wndList.GetTopIndex() + delta, 0, count - 1);
    m_wndList.SetTopIndex(top);
}

void CFileView::OnNavBarCommand(int button)
{
    int rows = RowsPerColumn();
    switch (button) {
    case 0:
        m_wndList.SetPath(m_wndList.m_strPath.Left(2));
        break;
    case 1:
        GoToParent();
        break;
    case 2:
        m_wndList.SetTopIndex(0);
        break;
    case 3:
        ScrollBy(-VisibleColumns() * rows);
        break;
    case 4:
        ScrollBy(-rows);
        break;
    case 5:
        ScrollBy(rows);
        break;
    case 6:
        ScrollBy(VisibleColumns() * rows);
        break;
    case 7:
        if (m_wndList.GetCount() > 0)
            m_wndList.SetTopIndex(m_wndList.GetCount() - 1);
        break;
    default:
        break;
    }
}

LRESULT CFileView::OnBarCommand(WPARAM id)
{
    switch (id) {
    case 0:
        OnItemOpen();
        break;
    case kDriveBarId:
        OnDriveBarCommand(m_wndDriveBar.GetCaretIndex());
        break;
    case kFileBarId: {
        int button = m_wndFileBar.GetCaretIndex();
        m_wndFileBar.SetCaretIndex(-1, true);
        // A delete the user declined leaves the focus where it was.
        if (!OnFileBarCommand(button))
            return 0;
        break;
    }
    case kNavBarId: {
        int button = m_wndNavBar.GetCaretIndex();
        m_wndNavBar.SetCaretIndex(-1, true);
        OnNavBarCommand(button);
        break;
    }
    case kModeBarId:
        SetDisplayMode(m_wndModeBar.GetCaretIndex());
        break;
    default:
        return 0;
    }
    FocusViewPane();
    return 0;
}

DWORD CFileView::OnDragEnter(IDataObject* data, DWORD keyState, POINT point)
{
    return OnDragOver(data, keyState, point);
}

DWORD CFileView::OnDragOver(IDataObject* data, DWORD keyState, POINT point)
{
    return DROPEFFECT_COPY;
}

BOOL CFileView::OnDrop(IDataObject* data, DWORD keyState, POINT point)
{
    // Dropped back into the list the drag came from: nothing.
    if (fovea::EndsOwnDrag(&m_wndList))
        return TRUE;
    fovea::CopyDropInto(data, m_wndList.m_strPath);
    m_wndList.Refresh();
    return TRUE;
}

LRESULT CFileView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_APP_BARCOMMAND:
        return OnBarCommand(wParam);
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSCROLLBAR:
        return OnCtlColor(message, HDC(wParam), HWND(lParam));
    case WM_LBUTTONDOWN:
        return 0; // a press beside the children does nothing
    default:
        return CView::WindowProc(message, wParam, lParam);
    }
}
