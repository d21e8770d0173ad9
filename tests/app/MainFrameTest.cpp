// The main window as a user meets it: its panes and strips, the layout commands, presses on the strips,
// and the font dialog applying a font to the windows of its slot.
#include <gtest/gtest.h>

#include "app/FontSettingDlg.h"
#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "browser/DirView.h"
#include "browser/FileView.h"
#include "image/FoveaView.h"
#include "image/SampleCreateDlg.h"
#include "launcher/LauncherPane.h"
#include "launcher/LauncherWnd.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace test_support;

class MainFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartApp(m_app, m_key.Path()));
        m_frame = m_app->m_pMainFrame;
        Resize(800, 600);
    }
    void TearDown() override { CloseApp(m_app); }

    void Resize(int cx, int cy)
    {
        SetWindowPos(m_frame->m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpMessages();
    }

    // Presses a strip button the way the mouse does: pointer on the button, then the button-down message.
    void Press(CIconListBox& bar, int x, int y)
    {
        POINT screen = {x, y};
        ClientToScreen(bar.m_hWnd, &screen);
        SetCursorPos(screen.x, screen.y);
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        PumpMessages();
    }

    void Command(int layoutButton)
    {
        m_frame->OnLayoutBarCommand(layoutButton);
        PumpMessages();
    }

    int SplitterWidth() const { return m_frame->m_wndOuterSplitter.GetClientRect().right; }
    int SplitterHeight() const { return m_frame->m_wndOuterSplitter.GetClientRect().bottom; }

    ScratchSettingsKey m_key{"frame"};
    std::unique_ptr<CFoveaApp> m_app;
    CMainFrame* m_frame = nullptr;
};

} // namespace

TEST_F(MainFrame, PanesStripsAndWindowsArePublished)
{
    EXPECT_EQ(m_frame->m_pUpperTree.get(), m_app->m_pUpperTree);
    EXPECT_EQ(m_frame->m_pLowerList.get(), m_app->m_pLowerList);
    EXPECT_EQ(1, m_app->m_pPicView->m_bMainView);
    EXPECT_NE(nullptr, m_app->m_pLauncher);
    EXPECT_NE(nullptr, m_app->m_pExtMenu);
    EXPECT_NE(nullptr, m_app->m_pSampleDlg);
    EXPECT_FALSE(m_app->m_pLauncher->IsWindowVisible());
    EXPECT_FALSE(m_app->m_pExtMenu->IsWindowVisible());
    EXPECT_FALSE(IsWindowVisible(m_app->m_pSampleDlg->m_hWnd));
    EXPECT_EQ(1, m_frame->m_bCreated);
    // The plug-ins beside the program are loaded by the time the frame exists.
    EXPECT_EQ(0, m_app->m_pSampleDlg->FindPlugin("JPG"));
    EXPECT_EQ(7, m_app->m_pSampleDlg->FindPlugin("PI"));

    EXPECT_EQ(6, m_frame->m_wndSystemBar.GetCount());
    EXPECT_EQ(12, m_frame->m_wndLayoutBar.GetCount());
    RECT system = m_frame->m_wndSystemBar.GetWindowRect();
    RECT layout = m_frame->m_wndLayoutBar.GetWindowRect();
    EXPECT_EQ(250, system.right - system.left);
    EXPECT_EQ(24, system.bottom - system.top);
    EXPECT_EQ(system.right, layout.left);

    // The panes start 24 pixels below the top of the client area, above the status bar.
    RECT splitter = m_frame->m_wndOuterSplitter.GetWindowRect();
    MapWindowPoints(nullptr, m_frame->m_hWnd, reinterpret_cast<POINT*>(&splitter), 2);
    EXPECT_EQ(24, splitter.top);
    RECT status = m_frame->m_wndStatusBar.GetWindowRect();
    MapWindowPoints(nullptr, m_frame->m_hWnd, reinterpret_cast<POINT*>(&status), 2);
    EXPECT_EQ(status.top, splitter.bottom);

    // First start: the view is closed, trees 200 wide, both filers half the height.
    EXPECT_EQ(0, m_frame->m_wndOuterSplitter.GetColumnWidth(0));
    EXPECT_EQ(200, m_frame->m_wndFilerSplitter.GetColumnWidth(0));
    EXPECT_EQ(SplitterHeight() / 2, m_frame->m_wndFilerSplitter.GetRowHeight(0));
}

TEST_F(MainFrame, ViewOnlyOnAn800PixelFrame)
{
    Command(3);
    EXPECT_EQ(1, m_app->m_nClickMode);
    EXPECT_EQ(800, m_app->m_nViewWidth);
    EXPECT_EQ(0, m_app->m_nTreeWidth);
    EXPECT_EQ(SplitterWidth(), m_frame->m_wndOuterSplitter.GetColumnWidth(0));
    EXPECT_EQ(0, m_frame->m_wndOuterSplitter.GetColumnWidth(1));
    EXPECT_FALSE(IsWindowVisible(m_frame->m_wndFilerSplitter.m_hWnd));
}

TEST_F(MainFrame, ResizeShowsBothFilersAgain)
{
    Command(5);
    EXPECT_EQ(2, m_app->m_nFilerSplit);
    EXPECT_EQ(0, m_frame->m_wndFilerSplitter.GetRowHeight(0));
    EXPECT_FALSE(m_app->m_pUpperList->IsWindowVisible());
    Resize(900, 700);
    EXPECT_EQ(0, m_app->m_nFilerSplit);
    EXPECT_EQ(SplitterHeight() / 2, m_frame->m_wndFilerSplitter.GetRowHeight(0));
    EXPECT_TRUE(m_app->m_pUpperList->IsWindowVisible());
    EXPECT_TRUE(m_app->m_pLowerList->IsWindowVisible());
}

TEST_F(MainFrame, ViewWiderThanTheSplitterLeavesNoFiler)
{
    m_frame->SetLayout(5000, -1, -1);
    EXPECT_EQ(SplitterWidth(), m_frame->m_wndOuterSplitter.GetColumnWidth(0));
    EXPECT_EQ(0, m_frame->m_wndOuterSplitter.GetColumnWidth(1));
}

TEST_F(MainFrame, ClosingTheViewKeepsTheTreesHidden)
{
    Command(1);
    EXPECT_EQ(800 / 2, m_app->m_nViewWidth);
    EXPECT_EQ(400, m_frame->m_wndOuterSplitter.GetColumnWidth(0));
    EXPECT_EQ(0, m_frame->m_wndFilerSplitter.GetColumnWidth(0));
    Command(0);
    EXPECT_EQ(0, m_app->m_nClickMode);
    EXPECT_EQ(0, m_frame->m_wndOuterSplitter.GetColumnWidth(0));
    EXPECT_EQ(0, m_frame->m_wndFilerSplitter.GetColumnWidth(0));
    Command(9);
    EXPECT_EQ(300, m_frame->m_wndFilerSplitter.GetColumnWidth(0));
    Command(2);
    EXPECT_EQ(2 * 800 / 3, m_app->m_nViewWidth);
    Command(4); // the first filer takes the whole (bordered) filer splitter
    EXPECT_EQ(m_frame->m_wndFilerSplitter.GetClientRect().bottom, m_frame->m_wndFilerSplitter.GetRowHeight(0));
    EXPECT_EQ(0, m_frame->m_wndFilerSplitter.GetRowHeight(1));
    Command(6);
    EXPECT_EQ(SplitterHeight() / 2, m_frame->m_wndFilerSplitter.GetRowHeight(0));
}

TEST_F(MainFrame, PressesOnTheStrips)
{
    // Layout strip: 30-pixel buttons in one row, x = 95 is button 3 (view only).
    Press(m_frame->m_wndLayoutBar, 95, 12);
    EXPECT_EQ(1, m_app->m_nClickMode);
    EXPECT_EQ(SplitterWidth(), m_frame->m_wndOuterSplitter.GetColumnWidth(0));

    // Main strip: button 2 sets large tips; a press beyond the sixth button runs nothing.
    Press(m_frame->m_wndSystemBar, 65, 12);
    EXPECT_EQ(2, m_app->m_nToolTipMode);
    m_app->m_nToolTipMode = 1;
    Press(m_frame->m_wndSystemBar, 200, 12);
    EXPECT_EQ(1, m_app->m_nToolTipMode);
}

TEST_F(MainFrame, HiddenWindowsAreMadeWhenStartupFirstGoesIdle)
{
    // Made with the frame: the sample dialog with the plug-ins. Left for the idle moment: the other three.
    ASSERT_NE(nullptr, m_app->m_pSampleDlg->m_hWnd);
    EXPECT_EQ(nullptr, m_frame->m_pTipWnd->m_hWnd);
    EXPECT_EQ(nullptr, m_app->m_pExtMenu->m_hWnd);
    EXPECT_EQ(nullptr, m_app->m_pLauncher->m_hWnd);

    int calls = 0;
    while (m_app->OnIdle(calls) && calls < 10)
        ++calls;
    EXPECT_LT(calls, 10);
    for (HWND made : {m_frame->m_pTipWnd->m_hWnd, m_app->m_pExtMenu->m_hWnd, m_app->m_pLauncher->m_hWnd}) {
        ASSERT_NE(nullptr, made);
        EXPECT_EQ(m_frame->m_hWnd, GetWindow(made, GW_OWNER));
        EXPECT_FALSE(IsWindowVisible(made));
    }
    // Nothing is made twice.
    HWND launcher = m_app->m_pLauncher->m_hWnd;
    EXPECT_FALSE(m_app->OnIdle(0));
    m_frame->CreateModelessWindows();
    EXPECT_EQ(launcher, m_app->m_pLauncher->m_hWnd);
}

TEST_F(MainFrame, LauncherButtonsShowHideAndPlace)
{
    // Pressed before start-up went idle: the launcher is made there and then.
    m_app->m_nLauncherWidth = 130;
    Command(10);
    EXPECT_EQ(1, m_app->m_bShowLauncher);
    EXPECT_TRUE(m_app->m_pLauncher->IsWindowVisible());
    RECT area = m_frame->GetSplitScreenRect();
    RECT launcher = m_app->m_pLauncher->GetWindowRect();
    EXPECT_EQ(area.right, launcher.right);
    EXPECT_EQ(130, launcher.right - launcher.left);
    EXPECT_EQ(area.top, launcher.top);

    MoveWindow(m_app->m_pLauncher->m_hWnd, 5, 5, 50, 50, TRUE);
    Command(11);
    launcher = m_app->m_pLauncher->GetWindowRect();
    EXPECT_EQ(area.right - 130, launcher.left);
    EXPECT_TRUE(m_app->m_pLauncher->IsWindowVisible());

    // With the page column shown the window is twice as wide and is placed back as wide.
    m_app->m_pLauncher->ShowLauncher(2);
    MoveWindow(m_app->m_pLauncher->m_hWnd, 5, 5, 260, 50, TRUE);
    Command(11);
    launcher = m_app->m_pLauncher->GetWindowRect();
    EXPECT_EQ(area.right - 260, launcher.left);
    EXPECT_EQ(area.right, launcher.right);
    EXPECT_EQ(area.bottom, launcher.bottom);
    RECT pages = m_app->m_pLauncher->m_wndPages.GetWindowRect();
    EXPECT_EQ(120, pages.right - pages.left);

    Command(10);
    EXPECT_EQ(0, m_app->m_bShowLauncher);
    EXPECT_FALSE(m_app->m_pLauncher->IsWindowVisible());
}

namespace {

// Counts the WM_PAINT messages of one window while installed in its place.
WNDPROC g_paintedProc = nullptr;
int g_paints = 0;

LRESULT CALLBACK CountPaints(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        ++g_paints;
    return CallWindowProcA(g_paintedProc, hwnd, message, wParam, lParam);
}

} // namespace

TEST_F(MainFrame, PaletteChangeRepaintsEveryPaneButTheChanger)
{
    Command(1); // the view pane beside the filers
    for (CWnd* pane : {static_cast<CWnd*>(m_app->m_pUpperList), static_cast<CWnd*>(m_app->m_pLowerList),
                       static_cast<CWnd*>(m_app->m_pPicView)})
        ValidateRect(pane->m_hWnd, nullptr);
    // The window that paints the picture is a child of the view pane: it must repaint too.
    HWND picture = m_app->m_pPicView->GetDisplayWindow();
    ASSERT_TRUE(IsWindowVisible(picture));
    ValidateRect(picture, nullptr);
    g_paints = 0;
    g_paintedProc = WNDPROC(SetWindowLongPtrA(picture, GWLP_WNDPROC, LONG_PTR(CountPaints)));
    // Repainting happens at once (UpdateWindow): a pending update region afterwards means no repaint was asked.
    m_frame->SendMessage(WM_PALETTECHANGED, WPARAM(m_app->m_pUpperList->m_hWnd));
    SetWindowLongPtrA(picture, GWLP_WNDPROC, LONG_PTR(g_paintedProc));
    EXPECT_FALSE(GetUpdateRect(m_app->m_pUpperList->m_hWnd, nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(m_app->m_pLowerList->m_hWnd, nullptr, FALSE));
    EXPECT_GE(g_paints, 1);
}

namespace {

bool g_confirm = false;
int g_calls = 0;

bool FakeChooseFont(HWND, LOGFONTA& lf)
{
    ++g_calls;
    if (g_confirm) {
        lf.lfHeight = -20;
        lf.lfUnderline = 1;
    }
    return g_confirm;
}

DWORD ReadDword(const CString& keyPath, const char* name)
{
    fovea::ScopedRegKey key;
    DWORD value = 0xDEADBEEF, size = sizeof value;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, key.put()) == ERROR_SUCCESS)
        RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    return value;
}

} // namespace

TEST_F(MainFrame, FontDialogAppliesAndStoresTheChosenFont)
{
    auto previous = CFontSettingDlg::s_pfnChooseFont;
    CFontSettingDlg::s_pfnChooseFont = FakeChooseFont;
    CFontSettingDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_FONT_SETTING, m_frame));
    HWND combo = dialog.GetDlgItem(IDC_FONT_COMBO);
    ASSERT_EQ(4, int(SendMessageA(combo, CB_GETCOUNT, 0, 0)));
    CString keyPath = m_key.Path() + "\\" + fovea::kSettingsProductKey;

    // Cancelled: nothing stored, yet the trees get the slot's font again and the lists go to text display.
    SendMessageA(combo, CB_SETCURSEL, 0, 0); // ファイラーフォント
    m_app->m_pUpperList->m_wndList.m_bCatalog = 1;
    HFONT before = m_app->GetFont(fovea::kFontFiler);
    g_confirm = false;
    dialog.ChangeFont();
    EXPECT_EQ("ファイラーフォント", dialog.m_strFontName);
    EXPECT_EQ(before, m_app->m_pUpperTree->GetTreeFont());
    EXPECT_EQ(before, m_app->m_pLowerTree->GetTreeFont());
    EXPECT_EQ(0, m_app->m_pUpperList->m_wndList.m_bCatalog);
    EXPECT_EQ(DWORD(-12), ReadDword(keyPath, "FONT1_Height"));

    // Confirmed: a new font object, stored (underline too), and the derived heights follow.
    g_confirm = true;
    dialog.ChangeFont();
    EXPECT_NE(before, m_app->GetFont(fovea::kFontFiler));
    EXPECT_EQ(m_app->GetFont(fovea::kFontFiler), m_app->m_pUpperTree->GetTreeFont());
    EXPECT_EQ(DWORD(-20), ReadDword(keyPath, "FONT1_Height"));
    EXPECT_EQ(1u, ReadDword(keyPath, "FONT1_Underline"));
    EXPECT_EQ(26, m_app->m_nListItemHeight);
    EXPECT_EQ(26, m_app->m_nIconWidth);
    EXPECT_EQ(26, m_app->m_pLowerList->m_wndList.m_nItemHeight);

    // Nothing selected edits the header font.
    SendMessageA(combo, CB_SETCURSEL, WPARAM(-1), 0);
    dialog.ChangeFont();
    EXPECT_EQ(DWORD(-20), ReadDword(keyPath, "FONT0_Height"));
    EXPECT_EQ(25, m_app->m_nHeaderHeight);
    EXPECT_EQ(m_app->GetFont(fovea::kFontHeader), m_app->m_pUpperList->GetHeaderFont());

    SendMessageA(combo, CB_SETCURSEL, 1, 0); // ビューフォント
    dialog.ChangeFont();
    EXPECT_EQ(m_app->GetFont(fovea::kFontView), m_app->m_pPicView->GetTextFont());
    EXPECT_EQ(DWORD(-20), ReadDword(keyPath, "FONT3_Height"));

    CFontSettingDlg::s_pfnChooseFont = previous;
    dialog.DestroyWindow();
}

TEST(FontSettingNames, SlotsOfTheComboEntries)
{
    EXPECT_EQ(3, CFontSettingDlg::SlotOfName("ビューフォント"));
    EXPECT_EQ(1, CFontSettingDlg::SlotOfName("ファイラーフォント"));
    EXPECT_EQ(0, CFontSettingDlg::SlotOfName("ヘッダーフォント"));
    EXPECT_EQ(2, CFontSettingDlg::SlotOfName("登録アプリメニューフォント"));
    EXPECT_EQ(0, CFontSettingDlg::SlotOfName(""));
}
