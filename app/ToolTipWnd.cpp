// The tip window and the idle pass that moves it with the pointer.
#include "app/ToolTipWnd.h"

#include <algorithm>

#include "app/FoveaApp.h"
#include "app/IconListBox.h"
#include "app/MainFrame.h"
#include "browser/DirView.h"
#include "browser/FileView.h"
#include "framework/Handles.h"
#include "image/FoveaView.h"
#include "image/PicView.h"
#include "launcher/LauncherPane.h"
#include "launcher/LauncherWnd.h"
#include "text/TextView.h"

using namespace fovea;

namespace {

// A tip anchored to a button sits this far below the button's top, left-aligned with it.
constexpr int kButtonAnchorDrop = 30;
// A tip of a window without buttons sits this far below the pointer.
constexpr int kPointerAnchorDrop = 5;

HWND Handle(const CWnd* wnd)
{
    return wnd ? wnd->m_hWnd : nullptr;
}

HWND Child(const CWnd* parent, int id)
{
    HWND hwnd = Handle(parent);
    return hwnd ? ::GetDlgItem(hwnd, id) : nullptr;
}

bool Shows(HWND hwnd)
{
    return hwnd && ::IsWindowVisible(hwnd);
}

TipRect ScreenRect(HWND hwnd)
{
    TipRect rect;
    RECT r;
    if (Shows(hwnd) && ::GetWindowRect(hwnd, &r))
        rect = {int(r.left), int(r.top), int(r.right), int(r.bottom)};
    return rect;
}

bool HasArea(HWND hwnd)
{
    RECT r;
    return Shows(hwnd) && ::GetWindowRect(hwnd, &r) && r.right > r.left && r.bottom > r.top;
}

bool OwnProcess(HWND hwnd)
{
    DWORD process = 0;
    return hwnd && ::GetWindowThreadProcessId(hwnd, &process) && process == ::GetCurrentProcessId();
}

} // namespace

HWND CToolTipWnd::TipWindowHandle(const CFoveaApp& app, int window)
{
    const CFileView* list = (window % 2 == 0) ? app.m_pUpperList : app.m_pLowerList;
    const CMainFrame* frame = app.m_pMainFrame;
    switch (window) {
    case kTipFileBarUpper:
    case kTipFileBarLower:
        return list ? list->m_wndFileBar.m_hWnd : nullptr;
    case kTipModeBarUpper:
    case kTipModeBarLower:
        return list ? list->m_wndModeBar.m_hWnd : nullptr;
    case kTipNavBarUpper:
    case kTipNavBarLower:
        return list ? list->m_wndNavBar.m_hWnd : nullptr;
    case kTipDriveBarUpper:
    case kTipDriveBarLower:
        return list ? list->m_wndDriveBar.m_hWnd : nullptr;
    case kTipMainBar:
        return frame ? frame->m_wndSystemBar.m_hWnd : nullptr;
    case kTipLayoutBar:
        return frame ? frame->m_wndLayoutBar.m_hWnd : nullptr;
    case kTipPictureBar:
        return Child(app.m_pPicView, CFoveaView::kPicBarId);
    case kTipTextBar:
        return Child(app.m_pPicView, CFoveaView::kTextBarId);
    case kTipPageBar:
        return Child(app.m_pLauncher, CLauncherWnd::kPageBarId);
    case kTipPageEditBar:
        return Child(app.m_pLauncher, CLauncherWnd::kPageEditBarId);
    case kTipLauncherEntries:
        return Child(app.m_pLauncher, CLauncherWnd::kEntriesId);
    case kTipLauncherPages:
        return Child(app.m_pLauncher, CLauncherWnd::kPagesId);
    case kTipExtMenuBar:
        return Child(app.m_pExtMenu, CLauncherPane::kBarId);
    case kTipExtMenuEntries:
        return Child(app.m_pExtMenu, CLauncherPane::kEntriesId);
    case kTipFileListUpper:
        return app.m_pUpperList ? app.m_pUpperList->m_wndList.m_hWnd : nullptr;
    case kTipFileListLower:
        return app.m_pLowerList ? app.m_pLowerList->m_wndList.m_hWnd : nullptr;
    case kTipTreeUpper:
        return Handle(app.m_pUpperTree);
    case kTipTreeLower:
        return Handle(app.m_pLowerTree);
    case kTipPictureArea: {
        // The pane itself until it holds a picture view of its own.
        HWND area = Child(app.m_pPicView, CPicView::kId);
        return area ? area : Handle(app.m_pPicView);
    }
    default:
        return nullptr;
    }
}

TipScene CToolTipWnd::ReadScene(const CFoveaApp& app)
{
    TipScene scene;
    for (int w = 0; w < kTipWindowCount; ++w)
        scene.windows[w] = ScreenRect(TipWindowHandle(app, w));
    HWND launcher = Handle(app.m_pLauncher);
    scene.launcherShown = app.m_bShowLauncher && Shows(launcher);
    scene.launcher = ScreenRect(launcher);
    HWND extMenu = Handle(app.m_pExtMenu);
    scene.extMenuShown = app.m_bExtMenuShown && Shows(extMenu);
    scene.extMenu = ScreenRect(extMenu);
    return scene;
}

HWND CToolTipWnd::FocusTarget(const CFoveaApp& app)
{
    HWND text = Child(app.m_pPicView, CTextView::kEditId);
    if (HasArea(text) && !HasArea(Child(app.m_pPicView, CPicView::kId))) {
        // The text view holds the edit control that takes the keys.
        HWND edit = ::GetWindow(text, GW_CHILD);
        return edit ? edit : text;
    }
    return TipWindowHandle(app, kTipPictureArea);
}

bool CToolTipWnd::OnIdle(CFoveaApp& app, long count)
{
    if (!m_hWnd)
        return false;
    POINT pointer;
    if (!::GetCursorPos(&pointer))
        pointer = {-32768, -32768};
    const bool samePoint = pointer.x == m_ptLast.x && pointer.y == m_ptLast.y;
    if (count > 0 && samePoint && app.m_nToolTipMode == m_nLastMode)
        return IsWindowVisible() && !m_bLeaveReported;
    Update(app, pointer);
    // Woken again and again where the leave was asked for (a press on a button wakes it once or twice): the
    // report may never stop coming, from a window that answers its hit test unlike the platform expects, so
    // the idle pass then looks at the pointer itself.
    m_nRewoken = m_bLeaveReported && samePoint ? m_nRewoken + 1 : 0;
    m_bLeaveReported = IsWindowVisible() && m_nRewoken < kRewokenLimit && ReportLeave(pointer);
    m_ptLast = pointer;
    m_nLastMode = app.m_nToolTipMode;
    return IsWindowVisible() && !m_bLeaveReported;
}

bool CToolTipWnd::ReportLeave(POINT pointer)
{
    HWND under = ::WindowFromPoint(pointer);
    if (!under || ::GetWindowThreadProcessId(under, nullptr) != ::GetCurrentThreadId())
        return false;
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, under, 0};
    if (::SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(pointer.x, pointer.y)) != HTCLIENT)
        track.dwFlags |= TME_NONCLIENT;
    return ::TrackMouseEvent(&track) != FALSE;
}

void CToolTipWnd::Update(CFoveaApp& app, POINT pointer)
{
    const int mode = app.m_nToolTipMode;
    if (mode == kTipsOff || !m_hWnd) {
        Hide();
        return;
    }
    // Where another program's window lies over the program, nothing of the program is under the pointer.
    if (!OwnProcess(::WindowFromPoint(pointer))) {
        Hide();
        return;
    }
    const int window = FindTipWindow(ReadScene(app), pointer.x, pointer.y);
    if (window < 0) {
        Hide();
        return;
    }

    HWND hwnd = TipWindowHandle(app, window);
    int index = -1;
    int count = 0;
    POINT anchor = {pointer.x, pointer.y + kPointerAnchorDrop};
    if (window <= kTipExtMenuEntries) {
        const auto* list = dynamic_cast<const CIconListBox*>(CWnd::FromHandle(hwnd));
        count = int(::SendMessageA(hwnd, LB_GETCOUNT, 0, 0));
        POINT client = pointer;
        ::ScreenToClient(hwnd, &client);
        index = list ? TipEntryIndex(client.x, client.y, list->ItemFromPoint(client.x, client.y)) : count;
        RECT item;
        if (index >= 0 && index < count &&
            ::SendMessageA(hwnd, LB_GETITEMRECT, WPARAM(index), LPARAM(&item)) != LB_ERR) {
            ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&item), 2);
            anchor = {item.left, item.top + kButtonAnchorDrop};
        }
    }

    int textIndex = -1;
    CString lines[4];
    if (TipTextIndex(window, index, count, textIndex))
        GetToolTipText(mode, window, textIndex, lines[0], lines[1], lines[2], lines[3]);
    Show(mode, lines, anchor);
    MoveFocus(app, pointer);
}

void CToolTipWnd::Show(int mode, const CString (&lines)[4], POINT anchor)
{
    const int count = TipLineCount(mode, lines[0], lines[1]);
    if (count == 0) {
        Hide();
        return;
    }
    CFoveaApp* app = FoveaApp();
    HFONT font = app ? app->GetFont(app->m_anElementFont[kFontToolTip]) : nullptr;
    // Every line shown is measured: with a proportional tip font the line of most bytes need not be the widest.
    int widest = 0;
    int height = 0;
    {
        ScopedGetDC dc(m_hWnd);
        SelectObjectScope select(dc.get(), font);
        for (int i = 0; i < count; ++i) {
            SIZE extent = {0, 0};
            if (lines[i].IsEmpty() || !::GetTextExtentPoint32A(dc.get(), lines[i], lines[i].GetLength(), &extent))
                continue;
            widest = std::max(widest, int(extent.cx));
            height = std::max(height, int(extent.cy));
        }
    }
    const TipSize size = TipWindowSize(widest, height, count);
    const RECT placed = {anchor.x, anchor.y, anchor.x + size.cx, anchor.y + size.cy};
    const RECT now = GetWindowRect();
    bool same = IsWindowVisible() && m_nLines == count && ::EqualRect(&placed, &now) && m_nLineHeight == height;
    for (int i = 0; i < 4 && same; ++i)
        same = m_astrLines[i] == (i < count ? lines[i] : CString());
    if (same)
        return;
    for (int i = 0; i < 4; ++i)
        m_astrLines[i] = i < count ? lines[i] : CString();
    m_nLines = count;
    m_nLineHeight = height;
    // Shown above the program's other windows, and never activated: the keyboard stays where it was.
    ::SetWindowPos(m_hWnd, HWND_TOP, anchor.x, anchor.y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CToolTipWnd::Hide()
{
    if (IsWindowVisible())
        ShowWindow(SW_HIDE);
    m_nLines = 0;
}

void CToolTipWnd::MoveFocus(const CFoveaApp& app, POINT pointer)
{
    if (!OwnProcess(::WindowFromPoint(pointer)) || !OwnProcess(::GetForegroundWindow()))
        return;
    HWND target = FocusTarget(app);
    if (target && ::GetFocus() != target)
        ::SetFocus(target);
}

void CToolTipWnd::OnPaint()
{
    ScopedPaint paint(m_hWnd);
    CFoveaApp* app = FoveaApp();
    HFONT font = app ? app->GetFont(app->m_anElementFont[kFontToolTip]) : nullptr;
    SelectObjectScope select(paint.get(), font);
    ::SetBkColor(paint.get(), RGB(255, 255, 255));
    RECT client = GetClientRect();
    ::FillRect(paint.get(), &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    for (int i = 0; i < m_nLines; ++i)
        ::TextOutA(paint.get(), 1, i * m_nLineHeight, m_astrLines[i], m_astrLines[i].GetLength());
}

INT_PTR CToolTipWnd::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return TRUE;
    case WM_ERASEBKGND:
        // The paint fills the whole tip.
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, 1);
        return TRUE;
    case WM_NCHITTEST:
        // Clicks and the pointer pass through the tip to the window below it.
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, HTTRANSPARENT);
        return TRUE;
    case WM_MOUSEACTIVATE:
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, MA_NOACTIVATE);
        return TRUE;
    default:
        return CDialog::DialogProc(message, wParam, lParam);
    }
}
