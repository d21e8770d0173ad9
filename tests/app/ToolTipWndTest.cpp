// The tips as a user meets them in the main window: the tip of the button under the pointer, placed below the
// button, one line or four, hidden over empty space and windows without texts, the launcher covering a file
// list, the keyboard moved to the view pane; and the drive line painted into the status bar.
#include <gtest/gtest.h>

#include <vector>

#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "app/ToolTipWnd.h"
#include "browser/DirView.h"
#include "browser/FileView.h"
#include "fileops/FileOps.h"
#include "image/FoveaView.h"
#include "launcher/LauncherWnd.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace test_support;
using fovea::ScopedGetDC;
using fovea::SelectObjectScope;

class ToolTips : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartApp(m_app, m_key.Path()));
        m_frame = m_app->m_pMainFrame;
        m_frame->CreateModelessWindows();
        m_tip = m_frame->m_pTipWnd.get();
        ASSERT_TRUE(m_tip && m_tip->m_hWnd);
        // Above the windows of tests running beside this one, so that the pointer is over this program.
        SetWindowPos(m_frame->m_hWnd, HWND_TOPMOST, 0, 0, 800, 600, SWP_NOACTIVATE);
        SetForegroundWindow(m_frame->m_hWnd);
        PumpMessages();
    }
    void TearDown() override { CloseApp(m_app); }

    // The screen point of a client point of a window.
    static POINT At(HWND hwnd, int x, int y)
    {
        POINT p = {x, y};
        ClientToScreen(hwnd, &p);
        return p;
    }
    void Rest(POINT p, int mode)
    {
        m_app->m_nToolTipMode = mode;
        m_tip->Update(*m_app, p);
    }
    RECT TipRect() const { return m_tip->GetWindowRect(); }
    // The height of a line in the tip font.
    int LineHeight() const
    {
        ScopedGetDC dc(m_tip->m_hWnd);
        SelectObjectScope font(dc.get(), m_app->GetFont(m_app->m_anElementFont[fovea::kFontToolTip]));
        SIZE extent = {};
        GetTextExtentPoint32A(dc.get(), "あ", 2, &extent);
        return extent.cy;
    }

    ScratchSettingsKey m_key{"tips"};
    std::unique_ptr<CFoveaApp> m_app;
    CMainFrame* m_frame = nullptr;
    CToolTipWnd* m_tip = nullptr;
};

} // namespace

TEST_F(ToolTips, ButtonTipBelowTheButtonSmallAndLarge)
{
    CIconListBox& bar = m_frame->m_wndSystemBar;
    RECT item;
    bar.SendMessage(LB_GETITEMRECT, 2, LPARAM(&item));
    MapWindowPoints(bar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&item), 2);
    const int h = LineHeight();

    Rest(At(bar.m_hWnd, 75, 12), 1);
    ASSERT_TRUE(m_tip->IsWindowVisible());
    EXPECT_EQ(1, m_tip->GetLineCount());
    EXPECT_STREQ("大きいツールチップ表示", m_tip->GetLine(0));
    RECT tip = TipRect();
    EXPECT_EQ(item.left, tip.left);
    EXPECT_EQ(item.top + 30, tip.top);
    EXPECT_EQ(h + 2, tip.bottom - tip.top);

    Rest(At(bar.m_hWnd, 75, 12), 2);
    ASSERT_EQ(4, m_tip->GetLineCount());
    EXPECT_STREQ("詳細な説明がほしいとき押下してください", m_tip->GetLine(2));
    EXPECT_STREQ("", m_tip->GetLine(3));
    tip = TipRect();
    EXPECT_EQ(4 * h + 2, tip.bottom - tip.top);
    EXPECT_EQ(item.top + 30, tip.top);

    // A button without a body shows its title alone, also in large tips.
    Rest(At(m_frame->m_wndLayoutBar.m_hWnd, 15, 12), 2);
    EXPECT_EQ(1, m_tip->GetLineCount());
    EXPECT_STREQ("ファイラーのみ表示", m_tip->GetLine(0));

    // The tip never took the activation.
    EXPECT_NE(m_tip->m_hWnd, GetActiveWindow());
}

TEST_F(ToolTips, HiddenWhereThereIsNothingToExplain)
{
    // Empty space of the layout strip, beyond its 12 buttons.
    Rest(At(m_frame->m_wndSystemBar.m_hWnd, 15, 12), 1);
    ASSERT_TRUE(m_tip->IsWindowVisible());
    Rest(At(m_frame->m_wndLayoutBar.m_hWnd, 12 * 30 + 20, 12), 1);
    EXPECT_FALSE(m_tip->IsWindowVisible());

    // A folder tree has no tip; a file list explains itself only in large tips, below the pointer.
    Rest(At(m_app->m_pUpperTree->m_hWnd, 50, 50), 2);
    EXPECT_FALSE(m_tip->IsWindowVisible());
    POINT onList = At(m_app->m_pUpperList->m_wndList.m_hWnd, 40, 40);
    Rest(onList, 1);
    EXPECT_FALSE(m_tip->IsWindowVisible());
    Rest(onList, 2);
    ASSERT_TRUE(m_tip->IsWindowVisible());
    EXPECT_EQ(4, m_tip->GetLineCount());
    EXPECT_EQ(onList.x, TipRect().left);
    EXPECT_EQ(onList.y + 5, TipRect().top);

    // Tips off: hidden everywhere.
    Rest(At(m_frame->m_wndSystemBar.m_hWnd, 15, 12), 0);
    EXPECT_FALSE(m_tip->IsWindowVisible());
}

TEST_F(ToolTips, LowerFilerStripsAndDriveButtons)
{
    CFileView* lower = m_app->m_pLowerList;
    Rest(At(lower->m_wndNavBar.m_hWnd, 45, 12), 1);
    EXPECT_STREQ("１つ上のフォルダ（親フォルダ）階層へ", m_tip->GetLine(0));
    Rest(At(lower->m_wndDriveBar.m_hWnd, 20, 12), 1);
    EXPECT_STREQ("表示ディスクドライブ切り替え", m_tip->GetLine(0));
    Rest(At(m_app->m_pUpperList->m_wndFileBar.m_hWnd, 35, 12), 2);
    EXPECT_STREQ("削除", m_tip->GetLine(0));
    EXPECT_STREQ("デスクトップのごみ箱にドロップすることもできます。", m_tip->GetLine(3));
}

TEST_F(ToolTips, ShownLauncherCoversTheFileList)
{
    CFileView* upper = m_app->m_pUpperList;
    m_app->m_pLauncher->ShowLauncher(0);
    PumpMessages();
    ASSERT_EQ(1, m_app->m_bShowLauncher);
    RECT launcher = m_app->m_pLauncher->GetWindowRect();
    RECT list = upper->m_wndList.GetWindowRect();
    ASSERT_LT(launcher.left, list.right);
    // Inside the launcher, over the part of the file list it covers.
    POINT covered = {launcher.left + 3, list.top + 20};
    Rest(covered, 2);
    EXPECT_FALSE(m_tip->IsWindowVisible() &&
                 m_tip->GetLine(0) == CString("フォルダ項目をシングルクリックでそのフォルダの中の項目を表示"));

    m_app->m_pLauncher->ShowLauncher(0); // hidden again
    PumpMessages();
    Rest(covered, 2);
    ASSERT_TRUE(m_tip->IsWindowVisible());
    EXPECT_STREQ("フォルダ項目をシングルクリックでそのフォルダの中の項目を表示", m_tip->GetLine(0));
}

TEST_F(ToolTips, KeyboardGoesToTheViewPaneOnlyWhileTheProgramIsActive)
{
    HWND list = m_app->m_pUpperList->m_wndList.m_hWnd;
    HWND target = CToolTipWnd::FocusTarget(*m_app);
    ASSERT_NE(nullptr, target);
    // Programs that other tests start beside this one may take the activation at any time.
    auto activate = [&] {
        for (int i = 0; i < 40; ++i) {
            SetForegroundWindow(m_frame->m_hWnd);
            PumpMessages();
            if (GetWindowThreadProcessId(GetForegroundWindow(), nullptr) == GetCurrentThreadId())
                return true;
            Sleep(50);
        }
        return false;
    };
    if (!activate())
        GTEST_SKIP() << "the program could not be made the active one";
    SetFocus(list);
    Rest(At(list, 40, 40), 0);
    EXPECT_EQ(list, GetFocus()); // tips off: the keyboard stays
    Rest(At(list, 40, 40), 1);
    EXPECT_EQ(target, GetFocus());

    // Another program active: the keyboard is not taken back.
    SetFocus(list);
    if (!SetForegroundWindow(GetDesktopWindow()) ||
        GetWindowThreadProcessId(GetForegroundWindow(), nullptr) == GetCurrentThreadId())
        GTEST_SKIP() << "no other program's window can be made the active one here";
    PumpMessages();
    HWND focusBefore = GetFocus();
    Rest(At(list, 40, 40), 1);
    EXPECT_EQ(focusBefore, GetFocus());
}

TEST_F(ToolTips, IdlePassesSleepUnlessThePointerMustBeWatched)
{
    POINT button = At(m_frame->m_wndSystemBar.m_hWnd, 45, 12);
    SetCursorPos(button.x, button.y);
    m_app->m_nToolTipMode = 1;
    // The button reports the pointer's leave: no idle pass is needed until a message comes.
    EXPECT_FALSE(m_app->OnIdle(0));
    ASSERT_TRUE(m_tip->IsWindowVisible());
    EXPECT_STREQ("小さいツールチップ表示", m_tip->GetLine(0));
    // A press wakes it with the pointer where it was: the leave is asked for again.
    EXPECT_FALSE(m_app->OnIdle(0));
    // Woken there without end (a leave report that keeps coming): the pass watches the pointer itself from
    // then on instead of asking for reports without end.
    bool watched = false;
    for (int i = 0; i < 20 && !watched; ++i)
        watched = m_app->OnIdle(0);
    EXPECT_TRUE(watched);
    EXPECT_TRUE(m_app->OnIdle(1));
    m_app->m_nToolTipMode = 0;
    EXPECT_FALSE(m_app->OnIdle(2));
    EXPECT_FALSE(m_tip->IsWindowVisible());
}

TEST_F(ToolTips, DriveLineOfTheListedFolder)
{
    CFileOps ops;
    ScratchFolder folder("driveline");
    CString text = ops.DriveInfoText(folder.Path());
    EXPECT_EQ(0, text.Find("利用率:"));
    EXPECT_NE(0, text.Find("利用率:00.0％ 全体容量:000000KB")) << text.c_str(); // the drive answered
    // The plug-ins of the sample dialog, in their order.
    EXPECT_NE(-1, text.Find(CString("|") + folder.Path() + "||Libray::,IFJPEG.SPI,IFGIF.SPI,IFTIFF.SPI"));

    // A drive that does not answer shows 00.0 and zero sizes.
    char missing = 0;
    DWORD drives = GetLogicalDrives();
    for (char letter = 'Z'; letter >= 'D' && !missing; --letter)
        if (!(drives & (1u << (letter - 'A'))))
            missing = letter;
    ASSERT_NE(0, missing);
    CString absent = CString(missing, 1) + ":\\x";
    EXPECT_FALSE(CFileOps::DriveSpaceOf(absent).known);
    EXPECT_EQ(0, ops.DriveInfoText(absent).Find("利用率:00.0％ 全体容量:000000KB 空き容量:000000KB |"));

    // Listing a folder paints its line over the status bar's pane.
    HWND bar = m_frame->m_wndStatusBar.m_hWnd;
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT pane;
    SendMessageA(bar, SB_GETRECT, 0, LPARAM(&pane));
    auto pixels = [&] {
        ScopedGetDC dc(bar);
        std::vector<COLORREF> seen;
        for (int x = pane.left + 2; x < pane.left + 200; ++x)
            for (int y = pane.top + 2; y < pane.bottom - 2; ++y)
                seen.push_back(GetPixel(dc.get(), x, y));
        return seen;
    };
    const std::vector<COLORREF> before = pixels();
    m_app->m_pUpperList->ShowFolder(folder.Path());
    const std::vector<COLORREF> after = pixels();
    ASSERT_EQ(before.size(), after.size());
    size_t changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        changed += before[i] != after[i];
    EXPECT_GT(changed, 20u);
}
