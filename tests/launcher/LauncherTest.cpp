// The launcher window with real folders, real OLE drops and real program starts: pages made on the first start
// and stepped through, a program dropped and started, a document dropped on its entry, entries moved to another
// page, pages deleted without touching what they link to.
#include "launcher/LauncherWnd.h"
#include "fileops/FileSafety.h"
#include "launcher/ProgramEntries.h"
#include "tests/launcher/LauncherFixture.h"

namespace {

using namespace launcher_test;

class Launcher : public LauncherFixture {
protected:
    void SetUp() override
    {
        LauncherFixture::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(m_wnd.Create(IDD_LAUNCHER, nullptr)) << "error " << GetLastError();
        OnTop(m_wnd.m_hWnd, 100, 100, 130, 500);
    }
    void TearDown() override
    {
        m_wnd.DestroyWindow();
        PumpMessages();
        LauncherFixture::TearDown();
    }

    std::vector<std::string> Entries() const { return Listed(m_wnd.m_wndEntries); }
    static std::vector<std::string> Listed(const CIconListBox& list)
    {
        std::vector<std::string> names;
        for (int i = 0; i < list.GetCount(); ++i)
            names.push_back(fovea::PathFileName(list.GetText(i).str()));
        return names;
    }
    void PageButton(int button)
    {
        m_wnd.m_wndPageBar.SetCaretIndex(button, true);
        m_wnd.SendMessage(WM_APP_BARCOMMAND, CLauncherWnd::kPageBarId, 0);
        PumpMessages();
    }
    std::string CurrentPage() const { return fovea::PathFileName(m_wnd.CurrentPage().str()); }
    // Registers the editor on the current page by a real drop on the entries list.
    void DropEditor()
    {
        RECT r = m_wnd.m_wndEntries.GetWindowRect();
        ASSERT_TRUE(DropAt(POINT{r.left + 60, r.bottom - 20}, {Editor()}));
    }

    // Enter pressed in one of the window's lists, handed over as the program's message loop does.
    void EnterIn(const CIconListBox& list)
    {
        SetFocus(list.m_hWnd);
        MSG msg = {list.m_hWnd, WM_KEYDOWN, VK_RETURN, 1};
        if (!CDialog::PreTranslateModeless(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        PumpMessages();
    }

    CLauncherWnd m_wnd;
};

TEST_F(Launcher, FirstStartMakesTenPagesAndTheButtonsStepThroughThemWrapping)
{
    EXPECT_EQ((std::vector<std::string>{"Page00", "Page01", "Page02", "Page03", "Page04", "Page05", "Page06", "Page07",
                                        "Page08", "Page09"}),
              Listed(m_wnd.m_wndPages));
    EXPECT_EQ("Page00", CurrentPage());
    EXPECT_TRUE(Entries().empty());

    // Button 1 is the left triangle (previous page), button 2 the right one (next page).
    const struct {
        int button;
        const char* page;
    } steps[] = {{1, "Page09"}, {1, "Page08"}, {2, "Page09"}, {2, "Page00"}, {2, "Page01"}};
    ASSERT_TRUE(WriteText(Root() + "\\MENU\\Page09\\note.txt", "x"));
    for (const auto& step : steps) {
        PageButton(step.button);
        EXPECT_EQ(step.page, CurrentPage()) << step.button;
        // The entries list follows the page: only Page09 holds a file.
        EXPECT_EQ(std::string(step.page) == "Page09" ? 1u : 0u, Entries().size()) << step.page;
    }

    // Without pages both buttons do nothing.
    for (int i = 0; i < m_wnd.m_wndPages.GetCount(); ++i)
        RemoveTree(m_wnd.m_wndPages.GetText(i));
    m_wnd.RefillPages("");
    ASSERT_EQ(0, m_wnd.m_wndPages.GetCount());
    PageButton(1);
    PageButton(2);
    EXPECT_EQ("", CurrentPage());
}

TEST_F(Launcher, ADroppedProgramIsStartedByAClickAndOpensADocumentDroppedOnIt)
{
    RECT r = m_wnd.m_wndEntries.GetWindowRect();
    POINT below = {r.left + 60, r.bottom - 20};
    if (!Reaches(below, m_wnd.m_hWnd))
        GTEST_SKIP() << "another window covers the test window";
    // A folder, and a document dropped where there is no entry, register nothing.
    ASSERT_TRUE(DropAt(below, {Editor(), Root() + "\\My Docs\\sub.exe", Root() + "\\plain.txt"}));
    EXPECT_EQ((std::vector<std::string>{"EDIT.LNK"}), Names(Root() + "\\MENU\\Page00"));
    EXPECT_EQ((std::vector<std::string>{"EDIT.LNK"}), Entries());
    EXPECT_TRUE(StartedMeanwhile().empty());

    // A press on the icon zone only selects; one on the title starts the program, without arguments.
    Press(m_wnd.m_wndEntries.m_hWnd, OnItem(m_wnd.m_wndEntries.m_hWnd, 0, 10));
    EXPECT_TRUE(StartedMeanwhile().empty());
    EXPECT_GT(m_wnd.m_wndEntries.GetSel(0), 0);
    Press(m_wnd.m_wndEntries.m_hWnd, OnItem(m_wnd.m_wndEntries.m_hWnd, 0));
    std::vector<std::string> started = Started(1);
    ASSERT_EQ(1u, started.size());
    ExpectEditorWith(started[0], "");

    // Documents dropped on the entry: each opened with it, its path whole as the only argument.
    ASSERT_TRUE(DropAt(OnItem(m_wnd.m_wndEntries.m_hWnd, 0), {Document(), Root() + "\\plain.txt"}));
    started = Started(3);
    ASSERT_EQ(3u, started.size());
    // The two programs run side by side: either may record its line first.
    if (started[1].find("plain.txt") != std::string::npos)
        std::swap(started[1], started[2]);
    ExpectEditorWith(started[1], "\"" + Document().str() + "\"");
    ExpectEditorWith(started[2], (Root() + "\\plain.txt").str());
    EXPECT_EQ((std::vector<std::string>{"EDIT.LNK"}), Entries());
}

TEST_F(Launcher, EntriesDraggedOntoAnotherPageMoveAndStayWhenDroppedOnTheirOwnPage)
{
    ASSERT_TRUE(CopyFileA(Editor(), Root() + "\\Tools\\VIEW.EXE", FALSE));
    CStringArray programs;
    programs.Add(Editor());
    programs.Add(Root() + "\\Tools\\VIEW.EXE");
    m_wnd.AddDroppedFiles(programs, m_wnd.CurrentPage(), "", false);
    m_wnd.ShowPage(m_wnd.CurrentPage());
    ASSERT_EQ((std::vector<std::string>{"EDIT.LNK", "VIEW.LNK"}), Entries());

    PageButton(0); // the page column
    EXPECT_EQ(1, m_wnd.m_nLayout);
    EXPECT_EQ(260, m_wnd.GetWindowRect().right - m_wnd.GetWindowRect().left);
    RECT pages = m_wnd.m_wndPages.GetWindowRect();
    ASSERT_EQ(120, pages.right - pages.left);
    POINT ownPage = OnItem(m_wnd.m_wndPages.m_hWnd, 0);
    POINT otherPage = OnItem(m_wnd.m_wndPages.m_hWnd, 3);
    if (!Reaches(ownPage, m_wnd.m_hWnd) || !Reaches(otherPage, m_wnd.m_hWnd))
        GTEST_SKIP() << "another window covers the test window";
    std::vector<CString> both = {m_wnd.m_wndEntries.GetText(0), m_wnd.m_wndEntries.GetText(1)};

    // Onto the page they are on: nothing is lost, nothing asked.
    DialogAnswerer answerer;
    ASSERT_TRUE(DropAt(ownPage, both, &m_wnd.m_wndEntries));
    EXPECT_EQ((std::vector<std::string>{"EDIT.LNK", "VIEW.LNK"}), Names(Root() + "\\MENU\\Page00"));

    // Back onto the list they came from: nothing, and the drag is over.
    ASSERT_TRUE(DropAt(OnItem(m_wnd.m_wndEntries.m_hWnd, 0), both, &m_wnd.m_wndEntries));
    EXPECT_EQ((std::vector<std::string>{"EDIT.LNK", "VIEW.LNK"}), Names(Root() + "\\MENU\\Page00"));
    EXPECT_EQ(nullptr, m_app->m_pDragSource);

    // Onto Page03: moved there; the entries list still shows Page00, now empty.
    ASSERT_TRUE(DropAt(otherPage, both, &m_wnd.m_wndEntries));
    EXPECT_TRUE(Names(Root() + "\\MENU\\Page00").empty());
    EXPECT_EQ((std::vector<std::string>{"EDIT.LNK", "VIEW.LNK"}), Names(Root() + "\\MENU\\Page03"));
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(0u, answerer.Count());

    // Links dropped from elsewhere onto a page are copied, their source kept.
    ASSERT_TRUE(DropAt(OnItem(m_wnd.m_wndPages.m_hWnd, 5), {Root() + "\\MENU\\Page03\\EDIT.LNK"}));
    EXPECT_EQ((std::vector<std::string>{"EDIT.LNK"}), Names(Root() + "\\MENU\\Page05"));
    EXPECT_EQ((std::vector<std::string>{"EDIT.LNK", "VIEW.LNK"}), Names(Root() + "\\MENU\\Page03"));
}

TEST_F(Launcher, DeletingEntriesAndPagesErasesTheLinksNotThePrograms)
{
    DropEditor();
    ASSERT_EQ((std::vector<std::string>{"EDIT.LNK"}), Entries());
    m_wnd.m_wndEntries.SetSel(0, true);
    PageButton(3);
    EXPECT_TRUE(Entries().empty());
    EXPECT_TRUE(Exists(Editor()));

    DropEditor();
    m_wnd.m_wndPageEditBar.SetCaretIndex(2, true);
    m_wnd.SendMessage(WM_APP_BARCOMMAND, CLauncherWnd::kPageEditBarId, 0);
    PumpMessages();
    EXPECT_FALSE(Exists(Root() + "\\MENU\\Page00"));
    EXPECT_EQ(9, m_wnd.m_wndPages.GetCount());
    EXPECT_TRUE(Exists(Editor()));
    EXPECT_TRUE(Exists(Document()));
}

TEST_F(Launcher, EnterInAListIsThatListsCommandAndLeavesTheWindowShown)
{
    m_wnd.ShowLauncher(0);
    ASSERT_EQ(1, m_app->m_bShowLauncher);
    ASSERT_TRUE(WriteText(Root() + "\\MENU\\Page03\\note.txt", "x"));
    m_wnd.m_wndPages.SetCaretIndex(3, true);
    EnterIn(m_wnd.m_wndPages);
    EXPECT_EQ((std::vector<std::string>{"note.txt"}), Entries());
    m_wnd.m_wndPageBar.SetCaretIndex(2, true);
    EnterIn(m_wnd.m_wndPageBar);
    EXPECT_EQ("Page04", CurrentPage());
    // Still shown, as the flag says: the layout button hides it with its next press.
    EXPECT_TRUE(IsWindowVisible(m_wnd.m_hWnd));
    EXPECT_EQ(1, m_app->m_bShowLauncher);
    m_wnd.ShowLauncher(0);
    EXPECT_FALSE(IsWindowVisible(m_wnd.m_hWnd));
}

TEST_F(Launcher, ALinkMovedOntoAPageStaysWhereItWasWhenItsCopyFailed)
{
    DropEditor();
    ASSERT_EQ((std::vector<std::string>{"EDIT.LNK"}), Entries());
    CString moved = m_wnd.m_wndEntries.GetText(0);
    // The other page already holds an EDIT.LNK of its own, open elsewhere: the overwrite is confirmed, the copy
    // fails, and OK on the report goes on with the next file.
    CString other = Root() + "\\MENU\\Page03\\EDIT.LNK";
    ASSERT_TRUE(WriteText(other, "another link"));
    CStringArray paths;
    paths.Add(moved);
    {
        fovea::ScopedFile busy(CreateFileA(other, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(busy);
        DialogAnswerer answerer({IDOK, IDOK});
        fovea::RegisterDroppedPrograms(paths, Root() + "\\MENU\\Page03", {"EXE"}, true);
        EXPECT_EQ(2u, answerer.Count());
    }
    EXPECT_TRUE(Exists(moved));
    EXPECT_EQ("another link", ReadText(other));
}

TEST_F(Launcher, AProgramOfTheSameNameFromElsewhereReplacesItsLinkOnlyWhenTheUserSaysSo)
{
    CString page = m_wnd.CurrentPage();
    CString other = Root() + "\\My Docs\\EDIT.EXE";
    ASSERT_TRUE(CopyFileA(Editor(), other, FALSE));
    const struct {
        CString program;
        int answer;
        size_t questions;
        CString linked;
    } drops[] = {
        {Editor(), IDCANCEL, 0, Editor()}, // the first link
        {Editor(), IDCANCEL, 0, Editor()}, // the same program again: nothing to ask
        {other, IDCANCEL, 1, Editor()},    // another EDIT.EXE: asked, declined
        {other, IDOK, 1, other},           // asked, replaced
    };
    for (const auto& drop : drops) {
        SCOPED_TRACE(drop.program.str());
        CStringArray paths;
        paths.Add(drop.program);
        DialogAnswerer answerer({drop.answer});
        fovea::RegisterDroppedPrograms(paths, page, {"EXE"}, false);
        EXPECT_EQ(drop.questions, answerer.Count());
        EXPECT_TRUE(fovea::LinksTo(page + "\\EDIT.LNK", drop.linked));
    }
}

} // namespace
