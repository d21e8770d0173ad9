// The extension menu: its lists, the pop-up at the pointer, the commands and the drops of programs.
#include "launcher/LauncherPane.h"

#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "browser/PaneDragDrop.h"
#include "fileops/FileOps.h"
#include "fileops/PathNames.h"
#include "framework/ShiftJis.h"
#include "launcher/CommandLine.h"
#include "launcher/ProgramEntries.h"
#include "launcher/ProgramStart.h"

namespace {

HWND MainWindow()
{
    CFoveaApp* app = FoveaApp();
    return app && app->m_pMainFrame ? app->m_pMainFrame->m_hWnd : nullptr;
}

} // namespace

CLauncherPane::CLauncherPane() : CLauncherDialog(IDD_EXT_MENU) {}

BOOL CLauncherPane::OnInitDialog()
{
    const int w = fovea::LauncherWidth();
    const RECT none = {0, 0, 0, 0};
    if (m_wndEntries.Create(fovea::kEntryListStyle, none, m_hWnd, kEntriesId))
        m_wndEntries.SetupBar(kEntriesId, 2, 30, w - 10, 30);
    if (m_wndBar.Create(CIconListBox::kBarStyle, none, m_hWnd, kBarId)) {
        m_wndBar.SetupBar(kBarId, 11, 0, 30, 24);
        for (const char* item : {"実行", "表示", "表示"})
            m_wndBar.AddString(item);
    }
    m_dropTarget.Register(this);
    Layout(GetClientRect().bottom);
    return TRUE;
}

void CLauncherPane::Layout(int h)
{
    const int w = fovea::LauncherWidth();
    if (m_wndBar.m_hWnd)
        m_wndBar.MoveWindow(5, 5, w - 10, 25);
    if (m_wndEntries.m_hWnd)
        m_wndEntries.MoveWindow(5, 30, w - 10, h - 35);
}

void CLauncherPane::SetFile(const CString& path, const CString& extension)
{
    m_strFile = path;
    m_strExt = extension;
}

void CLauncherPane::OpenFolder(const CString& folder)
{
    m_strExtFolder = folder;
    CFileOps().MakeFolder(folder); // fails when it exists
    m_wndEntries.FillFromFolder(folder, 1);
}

void CLauncherPane::PopUpAtPointer(const CString& path, const CString& extension)
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return;
    // The menu is made when start-up first goes idle; a click before that makes it now.
    if (!m_hWnd && app->m_pMainFrame)
        app->m_pMainFrame->CreateModelessWindows();
    if (!m_hWnd)
        return;
    CString upper = fovea::UpperAscii(extension.str());
    SetFile(path, upper);
    // A file without an extension has the extension folder itself as its menu.
    OpenFolder(upper.IsEmpty() ? app->m_strExtDir : app->m_strExtDir + "\\" + upper);
    POINT pointer = {0, 0};
    ::GetCursorPos(&pointer);
    MoveWindow(pointer.x, pointer.y, app->m_nLauncherWidth, kHeight);
    ShowWindow(SW_SHOW);
    app->m_bExtMenuShown = 1;
    if (app->m_pMainFrame)
        app->m_pMainFrame->PostMessage(CMainFrame::kRaiseOwnedMessage);
}

void CLauncherPane::Hide()
{
    ShowWindow(SW_HIDE);
    if (CFoveaApp* app = FoveaApp())
        app->m_bExtMenuShown = 0;
}

void CLauncherPane::OnProgramClick()
{
    // The file by its short name: a long name with blanks reaches the program as one argument; where the
    // file system keeps no short name the path is quoted instead.
    CString file = fovea::ShortPathOf(m_strFile);
    int index = fovea::TakeCaretItem(m_wndEntries);
    if (index >= 0)
        fovea::StartLinkedProgram(MainWindow(), m_wndEntries.GetText(index), file);
}

void CLauncherPane::OnBarButton(int button)
{
    CFoveaApp* app = FoveaApp();
    switch (button) {
    case 0: // run the file itself when it is a program or a link to one
        if (m_strExt == "LNK")
            fovea::StartLinkedProgram(MainWindow(), m_strFile, "");
        else if (m_strExt == "EXE")
            fovea::StartCommandLine(CString(fovea::CommandLineArgument(fovea::ShortPathOf(m_strFile).str())));
        break;
    case 1: // show it in the view pane
        if (app && app->m_pMainFrame && !m_strFile.IsEmpty())
            app->m_pMainFrame->ShowInView(m_strFile);
        break;
    case 2: // unregister the selected programs
        fovea::DeleteSelectedEntries(m_wndEntries);
        m_wndEntries.FillFromFolder(m_strExtFolder, 1);
        break;
    default:
        break;
    }
}

void CLauncherPane::OnDropFiles(const CStringArray& paths, POINT screen)
{
    if (fovea::EndsOwnDrag(&m_wndEntries) || m_strExtFolder.IsEmpty())
        return;
    fovea::RegisterDroppedPrograms(paths, m_strExtFolder, {"EXE", "BAT", "COM", "PIF"}, false);
    m_wndEntries.FillFromFolder(m_strExtFolder, 1);
}

LRESULT CLauncherPane::OnBarCommand(WPARAM id)
{
    Hide();
    if (id == kEntriesId)
        OnProgramClick();
    else if (id == kBarId)
        OnBarButton(fovea::TakeCaretItem(m_wndBar));
    return 0;
}

void CLauncherPane::OnCancel()
{
    Hide();
}
