// The extension menu with real folders, real OLE drops and real program starts: a click on a text file in a
// file list opens the menu of its extension at the pointer, a dropped editor is registered there and opens the
// file by its short name; the strip runs programs, and unregisters.
#include "browser/FileView.h"
#include "launcher/LauncherPane.h"
#include "tests/launcher/LauncherFixture.h"

namespace {

using namespace launcher_test;

class ExtMenu : public LauncherFixture {
protected:
    void SetUp() override
    {
        LauncherFixture::SetUp();
        if (HasFatalFailure())
            return;
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(m_menu.Create(IDD_EXT_MENU, nullptr));
        m_app->m_pExtMenu = &m_menu;
        m_app->m_nClickMode = 0;
    }
    void TearDown() override
    {
        m_menu.DestroyWindow();
        PumpMessages();
        LauncherFixture::TearDown();
    }

    // The menu opened by a click on the file in a file list, the pointer at point.
    void ClickFileInList(const CString& folder, const char* name, POINT pointer)
    {
        CFileView view;
        ASSERT_TRUE(view.Create(nullptr, 0, RECT{0, 0, 500, 300}, WS_POPUP));
        m_app->m_pUpperList = &view;
        view.ShowFolder(folder);
        int item = -1;
        for (int i = 0; i < view.m_wndList.GetCount(); ++i)
            if (view.m_wndList.GetItemFileName(i) == name)
                item = i;
        ASSERT_GE(item, 0) << name;
        view.m_wndList.SetCaretIndex(item, true);
        SetCursorPos(pointer.x, pointer.y);
        view.SendMessage(WM_APP_BARCOMMAND, 0, 0);
        PumpMessages();
        m_app->m_pUpperList = nullptr;
        view.DestroyWindow();
        SetCurrentDirectoryA(TempFolder()); // the folder listed became the current one
    }
    void StripButton(int button)
    {
        m_menu.m_wndBar.SetCaretIndex(button, true);
        m_menu.SendMessage(WM_APP_BARCOMMAND, CLauncherPane::kBarId, 0);
        PumpMessages();
    }

    CLauncherPane m_menu;
};

TEST_F(ExtMenu, AClickOnATextFileOpensItsMenuWhereADroppedEditorOpensItByItsShortName)
{
    ClickFileInList(Root() + "\\My Docs", "a long note.txt", POINT{200, 150});
    ASSERT_TRUE(m_menu.IsWindowVisible());
    EXPECT_EQ(1, m_app->m_bExtMenuShown);
    RECT placed = m_menu.GetWindowRect();
    EXPECT_EQ(200, placed.left);
    EXPECT_EQ(150, placed.top);
    EXPECT_EQ(130, placed.right - placed.left);
    EXPECT_EQ(CLauncherPane::kHeight, int(placed.bottom - placed.top));
    EXPECT_TRUE(IsFolder(Root() + "\\EXT\\TXT"));
    EXPECT_EQ(0, m_menu.m_wndEntries.GetCount());
    EXPECT_EQ("TXT", m_menu.m_strExt);

    // Programs and batch files are registered as links; a folder and a document are passed over.
    ASSERT_TRUE(WriteText(Root() + "\\Tools\\run.bat", "@echo off\r\n"));
    SetWindowPos(m_menu.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT list = m_menu.m_wndEntries.GetWindowRect();
    POINT into = {list.left + 60, list.bottom - 15};
    if (!Reaches(into, m_menu.m_hWnd))
        GTEST_SKIP() << "another window covers the test window";
    ASSERT_TRUE(
        DropAt(into, {Editor(), Root() + "\\Tools\\run.bat", Root() + "\\My Docs\\sub.exe", Root() + "\\plain.txt"}));
    EXPECT_EQ((std::vector<std::string>{"EDIT.LNK", "run.LNK"}), Names(Root() + "\\EXT\\TXT"));
    ASSERT_EQ(2, m_menu.m_wndEntries.GetCount());
    EXPECT_TRUE(StartedMeanwhile().empty());

    // A click on the editor hides the menu and opens the file by a name without blanks.
    Press(m_menu.m_wndEntries.m_hWnd, OnItem(m_menu.m_wndEntries.m_hWnd, 0));
    EXPECT_FALSE(m_menu.IsWindowVisible());
    EXPECT_EQ(0, m_app->m_bExtMenuShown);
    std::vector<std::string> started = Started(1);
    ASSERT_EQ(1u, started.size());
    std::string shortName = fovea::ShortPathOf(Document()).str();
    EXPECT_EQ(std::string::npos, shortName.find(' ')) << "the file system here keeps no short names";
    ExpectEditorWith(started[0], shortName);
}

TEST_F(ExtMenu, TheStripRunsProgramsAndUnregistersTheSelectedOnes)
{
    // Button 0 on a program starts it; on a document nothing.
    m_menu.PopUpAtPointer(Editor(), "exe");
    EXPECT_TRUE(IsFolder(Root() + "\\EXT\\EXE"));
    StripButton(0);
    std::vector<std::string> started = Started(1);
    ASSERT_EQ(1u, started.size());
    ExpectEditorWith(started[0], "");
    EXPECT_FALSE(m_menu.IsWindowVisible());

    m_menu.PopUpAtPointer(Document(), "TXT");
    StripButton(0);
    EXPECT_EQ(1u, StartedMeanwhile().size());

    // Button 2 erases the links of the selected entries, never the programs.
    CStringArray dropped;
    dropped.Add(Editor());
    m_menu.PopUpAtPointer(Document(), "txt");
    m_menu.OnDropFiles(dropped, POINT{0, 0});
    ASSERT_EQ(1, m_menu.m_wndEntries.GetCount());
    m_menu.m_wndEntries.SetSel(0, true);
    StripButton(2);
    EXPECT_TRUE(Names(Root() + "\\EXT\\TXT").empty());
    EXPECT_EQ(0, m_menu.m_wndEntries.GetCount());
    EXPECT_TRUE(Exists(Editor()));
}

} // namespace
