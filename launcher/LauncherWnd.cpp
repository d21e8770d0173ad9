// The launcher window: its lists and layout, the page and entry commands, the drops and the placement.
#include "launcher/LauncherWnd.h"

#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "browser/PaneDragDrop.h"
#include "fileops/FileOps.h"
#include "fileops/PathParts.h"
#include "fileops/TitleDlg.h"
#include "framework/ShiftJis.h"
#include "launcher/ProgramEntries.h"
#include "launcher/ProgramStart.h"
#include "ole/DragSource.h"

namespace {

constexpr int kFirstRunPages = 10;

} // namespace

CLauncherWnd::CLauncherWnd() : CLauncherDialog(IDD_LAUNCHER) {}

BOOL CLauncherWnd::OnInitDialog()
{
    CFoveaApp* app = FoveaApp();
    const int w = fovea::LauncherWidth();
    const RECT none = {0, 0, 0, 0};
    if (m_wndEntries.Create(fovea::kEntryListStyle, none, m_hWnd, kEntriesId))
        m_wndEntries.SetupBar(kEntriesId, 2, 30, w - 10, 30);
    if (m_wndPages.Create(fovea::kEntryListStyle, none, m_hWnd, kPagesId))
        m_wndPages.SetupBar(kPagesId, 0, 30, w - 10, 30);
    if (m_wndPageBar.Create(CIconListBox::kBarStyle, none, m_hWnd, kPageBarId)) {
        m_wndPageBar.SetupBar(kPageBarId, 9, 0, 30, 24);
        for (const char* item : {"PAGE", "DEL", "<<", ">>"})
            m_wndPageBar.AddString(item);
    }
    if (m_wndPageEditBar.Create(CIconListBox::kBarStyle, none, m_hWnd, kPageEditBarId)) {
        m_wndPageEditBar.SetupBar(kPageEditBarId, 10, 0, 30, 24);
        for (const char* item : {"ADD PAGE", "DEL PAGE", "RNM PAGE"})
            m_wndPageEditBar.AddString(item);
    }
    if (app && app->m_bFirstRun == 1) {
        for (int i = 0; i < kFirstRunPages; ++i) {
            CString name;
            name.Format("Page%02d", i);
            MakePage(name);
        }
    }
    RefillPages("");
    if (m_wndPages.GetCount() > 0)
        m_wndPages.SetCaretIndex(0, true);
    ShowPage(CurrentPage());
    // Without OLE the launcher works, only without drops.
    m_dropTarget.Register(this);
    Layout(GetClientRect().bottom);
    return TRUE;
}

void CLauncherWnd::Layout(int h)
{
    const int w = fovea::LauncherWidth();
    if (!m_wndEntries.m_hWnd || !m_wndPages.m_hWnd || !m_wndPageBar.m_hWnd || !m_wndPageEditBar.m_hWnd)
        return;
    if (m_nLayout == 0) {
        m_wndPageBar.MoveWindow(5, 5, w - 10, 30);
        m_wndEntries.MoveWindow(5, 40, w - 10, h - 45);
        m_wndPageEditBar.MoveWindow(0, 0, 0, 0);
        m_wndPages.MoveWindow(0, 0, 0, 0);
    } else {
        m_wndPageEditBar.MoveWindow(5, 5, w - 10, 30);
        m_wndPages.MoveWindow(5, 40, w - 10, h - 45);
        m_wndPageBar.MoveWindow(w, 5, w - 5, 30);
        m_wndEntries.MoveWindow(w, 40, w - 5, h - 45);
    }
}

void CLauncherWnd::ShowLauncher(int type)
{
    CFoveaApp* app = FoveaApp();
    if (!app || !m_hWnd)
        return;
    const int w = app->m_nLauncherWidth;
    RECT area = app->m_pMainFrame ? app->m_pMainFrame->GetSplitScreenRect() : RECT{0, 0, 0, 0};
    switch (type) {
    case 0:
        if (app->m_bShowLauncher == 1) {
            ShowWindow(SW_HIDE);
            app->m_bShowLauncher = 0;
            return;
        }
        m_nLayout = 0;
        MoveWindow(area.right - w, area.top, w, area.bottom - area.top);
        ShowWindow(SW_SHOW);
        app->m_bShowLauncher = 1;
        break;
    case 1: {
        int width = m_nLayout == 0 ? w : 2 * w;
        MoveWindow(area.right - width, area.top, width, area.bottom - area.top);
        break;
    }
    case 2: {
        RECT own = GetWindowRect();
        if (m_nLayout == 1) {
            m_nLayout = 0;
            MoveWindow(own.right - w, own.top, w, own.bottom - own.top);
        } else {
            m_nLayout = 1;
            MoveWindow(own.right - 2 * w, own.top, 2 * w, own.bottom - own.top);
        }
        break;
    }
    default:
        return;
    }
    // The layout follows the size change; a window that kept its size gets it here.
    Layout(GetClientRect().bottom);
}

int CLauncherWnd::MakePage(const CString& name)
{
    CFoveaApp* app = FoveaApp();
    if (!app || !fovea::IsOneName(name.str()))
        return -1;
    return CFileOps().MakeFolder(app->m_strMenuDir + "\\" + name);
}

CString CLauncherWnd::CurrentPage() const
{
    int caret = m_wndPages.GetCaretIndex();
    // A marked page names no folder: nothing is shown from it and nothing is added to it.
    return caret >= 0 && caret < m_wndPages.GetCount() && m_wndPages.IsReachableItem(caret) ? m_wndPages.GetText(caret)
                                                                                            : CString();
}

void CLauncherWnd::RefillPages(const CString& keep)
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return;
    int caret = m_wndPages.GetCaretIndex();
    m_wndPages.FillFromFolder(app->m_strMenuDir, 2);
    int count = m_wndPages.GetCount();
    for (int i = 0; i < count && !keep.IsEmpty(); ++i)
        if (fovea::SamePath(m_wndPages.GetText(i).str(), keep.str()))
            caret = i;
    if (count > 0)
        m_wndPages.SetCaretIndex(caret >= 0 && caret < count ? caret : count - 1, true);
}

void CLauncherWnd::ShowPage(const CString& page)
{
    if (page.IsEmpty())
        m_wndEntries.ResetContent();
    else
        m_wndEntries.FillFromFolder(page, 1);
}

void CLauncherWnd::AddDroppedFiles(const CStringArray& paths, const CString& pageFolder, const CString& entryLink,
                                   bool deleteSource)
{
    if (pageFolder.IsEmpty())
        return;
    CStringArray programs;
    for (int i = 0; i < paths.GetSize(); ++i) {
        CString extension = fovea::WholeExtension(fovea::PathFileName(paths[i].str()));
        if (extension == "EXE" || extension == "LNK")
            programs.Add(paths[i]);
        else if (!entryLink.IsEmpty())
            fovea::StartLinkedProgram(m_hWnd, entryLink, paths[i]);
    }
    fovea::RegisterDroppedPrograms(programs, pageFolder, {"EXE"}, deleteSource);
}

void CLauncherWnd::OnDropFiles(const CStringArray& paths, POINT screen)
{
    CFoveaApp* app = FoveaApp();
    if (fovea::WindowContains(m_wndEntries.m_hWnd, screen)) {
        if (fovea::EndsOwnDrag(&m_wndEntries))
            return;
        CString page = CurrentPage();
        POINT point = screen;
        ::ScreenToClient(m_wndEntries.m_hWnd, &point);
        int index = m_wndEntries.ItemFromPoint(point.x, point.y);
        bool onEntry = index >= 0 && index < m_wndEntries.GetCount() && m_wndEntries.IsReachableItem(index);
        CString entry = onEntry ? m_wndEntries.GetText(index) : CString();
        AddDroppedFiles(paths, page, entry, false);
        ShowPage(page);
    } else if (fovea::WindowContains(m_wndPages.m_hWnd, screen)) {
        POINT point = screen;
        ::ScreenToClient(m_wndPages.m_hWnd, &point);
        int index = m_wndPages.ItemFromPoint(point.x, point.y);
        if (index < 0 || index >= m_wndPages.GetCount() || !m_wndPages.IsReachableItem(index))
            return;
        // Entries dragged out of this window's own list onto a page move there.
        bool fromEntries = app && app->m_pDragSource == &m_wndEntries && fovea::OwnDragInProgress();
        if (fromEntries)
            app->m_pDragSource = nullptr;
        AddDroppedFiles(paths, m_wndPages.GetText(index), "", fromEntries);
        ShowPage(CurrentPage());
    }
}

void CLauncherWnd::OnEntryClick()
{
    int index = fovea::TakeCaretItem(m_wndEntries);
    if (index >= 0)
        fovea::StartLinkedProgram(m_hWnd, m_wndEntries.GetText(index), "");
}

void CLauncherWnd::OnPageClick()
{
    ShowPage(CurrentPage());
}

void CLauncherWnd::StepPage(int step)
{
    int count = m_wndPages.GetCount();
    if (count == 0)
        return;
    int caret = m_wndPages.GetCaretIndex();
    if (caret < 0 || caret >= count)
        caret = step > 0 ? -1 : count;
    int next = ((caret + step) % count + count) % count;
    m_wndPages.SetCaretIndex(next, true);
    ShowPage(CurrentPage());
}

void CLauncherWnd::OnPageBarCommand(int button)
{
    switch (button) {
    case 0:
        ShowLauncher(2);
        break;
    case 1: // the left triangle, "前ページ表示"
        StepPage(-1);
        break;
    case 2: // the right triangle, "次ページ表示"
        StepPage(+1);
        break;
    case 3:
        fovea::DeleteSelectedEntries(m_wndEntries);
        ShowPage(CurrentPage());
        break;
    default:
        break;
    }
}

void CLauncherWnd::AddPage()
{
    CTitleDlg dialog(this);
    if (dialog.DoModal() != IDOK)
        return;
    CString shown = CurrentPage();
    MakePage(dialog.m_strTitle);
    RefillPages(shown);
    ShowPage(CurrentPage());
}

void CLauncherWnd::RenamePage()
{
    CFoveaApp* app = FoveaApp();
    CString page = CurrentPage();
    if (!app || page.IsEmpty())
        return;
    CTitleDlg dialog(this);
    CFileOps ops;
    ops.GetFileName(page, dialog.m_strTitle);
    if (dialog.DoModal() != IDOK || !fovea::IsOneName(dialog.m_strTitle.str()))
        return;
    CString renamed = app->m_strMenuDir + "\\" + dialog.m_strTitle;
    RefillPages(ops.RenamePath(page, renamed) == 0 ? renamed : page);
    ShowPage(CurrentPage());
}

void CLauncherWnd::DeletePage()
{
    CString page = CurrentPage();
    if (page.IsEmpty())
        return;
    // The walk erases the page folder and nothing it links to.
    CFileOps().WalkDir(page, "", "Remove");
    RefillPages("");
    ShowPage(CurrentPage());
}

void CLauncherWnd::OnPageEditBarCommand(int button)
{
    switch (button) {
    case 0:
        AddPage();
        break;
    case 1:
        RenamePage();
        break;
    case 2:
        DeletePage();
        break;
    default:
        break;
    }
}

LRESULT CLauncherWnd::OnBarCommand(WPARAM id)
{
    switch (id) {
    case kEntriesId:
        OnEntryClick();
        break;
    case kPagesId:
        OnPageClick();
        break;
    case kPageBarId:
        OnPageBarCommand(fovea::TakeCaretItem(m_wndPageBar));
        break;
    case kPageEditBarId:
        OnPageEditBarCommand(fovea::TakeCaretItem(m_wndPageEditBar));
        break;
    default:
        break;
    }
    return 0;
}

void CLauncherWnd::OnCancel()
{
    // Closing hides the modeless window.
    ShowWindow(SW_HIDE);
    if (CFoveaApp* app = FoveaApp())
        app->m_bShowLauncher = 0;
}
