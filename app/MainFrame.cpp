// The main window: its creation, layout and the commands of its two strips.
#include "app/MainFrame.h"

#include "app/FontSettingDlg.h"
#include "app/FoveaApp.h"
#include "browser/DirView.h"
#include "browser/FileView.h"
#include "image/FoveaView.h"
#include "image/SampleCreateDlg.h"
#include "launcher/LauncherPane.h"
#include "launcher/LauncherWnd.h"
#include "res/resource.h"

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate()
{
    // The plug-ins load on a worker while the panes are built; the sample dialog, created last, takes them.
    if (CFoveaApp* app = FoveaApp())
        CSampleCreateDlg::PrefetchPlugins(app->m_strProgramDir);

    // Status bar with one pane, raised, 2000 pixels wide.
    if (!m_wndStatusBar.Create(m_hWnd, WS_CHILD | WS_VISIBLE | CCS_BOTTOM, kStatusBarId))
        return -1;
    const int widths[] = {2000};
    if (!m_wndStatusBar.SetPaneWidths(widths, 1))
        return -1;
    m_wndStatusBar.SetTextStyle(SBT_POPOUT);
    m_wndStatusBar.SetPaneText(0, "");

    RECT empty = {0, 0, 0, 0};
    if (m_wndSystemBar.Create(CIconListBox::kBarStyle, empty, m_hWnd, kSystemBarId)) {
        m_wndSystemBar.SetupBar(kSystemBarId, 6, 0, 30, kStripHeight);
        for (int i = 0; i < 6; ++i)
            m_wndSystemBar.AddString("XXX");
    }
    if (m_wndLayoutBar.Create(CIconListBox::kBarStyle, empty, m_hWnd, kLayoutBarId)) {
        m_wndLayoutBar.SetupBar(kLayoutBarId, 7, 0, 30, kStripHeight);
        for (int i = 0; i < 12; ++i)
            m_wndLayoutBar.AddString("XXX");
    }
    if (!OnCreateClient())
        return -1;
    m_bCreated = 1;
    // Lay the panes out at the created size while the frame is still hidden: resizing visible tree and list
    // controls repaints their frames and scroll bars at every step, which made showing the window slow.
    RECT client = GetClientRect();
    OnSize(client.right, client.bottom);
    return 0;
}

bool CMainFrame::OnCreateClient()
{
    CFoveaApp* app = FoveaApp();
    m_wndOuterSplitter.CreateStatic(m_hWnd, 1, 2, WS_CHILD | WS_VISIBLE, CSplitterWnd::kFirstPaneId);
    m_wndFilerSplitter.CreateStatic(m_wndOuterSplitter.m_hWnd, 2, 2, WS_CHILD | WS_VISIBLE | WS_BORDER,
                                    CSplitterWnd::IdFromRowCol(0, 1));
    m_wndOuterSplitter.SetPane(0, 1, &m_wndFilerSplitter);
    // The panes first in the frame's z-order: windows are painted in that order, and the first file list to
    // paint learns the background colour that the strips are painted in. Nothing overlaps, so nothing else
    // changes.
    ::SetWindowPos(m_wndOuterSplitter.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    RECT none = {0, 0, 0, 0};
    HWND filer = m_wndFilerSplitter.m_hWnd;
    m_pUpperTree = std::make_unique<CDirView>();
    m_pUpperTree->Create(filer, CSplitterWnd::IdFromRowCol(0, 0), none);
    m_pUpperList = std::make_unique<CFileView>();
    m_pUpperList->Create(filer, CSplitterWnd::IdFromRowCol(0, 1), none);
    m_pLowerTree = std::make_unique<CDirView>();
    m_pLowerTree->Create(filer, CSplitterWnd::IdFromRowCol(1, 0), none);
    m_pLowerList = std::make_unique<CFileView>();
    m_pLowerList->Create(filer, CSplitterWnd::IdFromRowCol(1, 1), none);
    m_wndFilerSplitter.SetPane(0, 0, m_pUpperTree.get());
    m_wndFilerSplitter.SetPane(0, 1, m_pUpperList.get());
    m_wndFilerSplitter.SetPane(1, 0, m_pLowerTree.get());
    m_wndFilerSplitter.SetPane(1, 1, m_pLowerList.get());

    m_pPicView = std::make_unique<CFoveaView>();
    m_pPicView->Create(m_wndOuterSplitter.m_hWnd, CSplitterWnd::IdFromRowCol(0, 0), none);
    m_pPicView->m_bMainView = 1;
    m_wndOuterSplitter.SetPane(0, 0, m_pPicView.get());

    // The modeless windows, hidden: tip, extension menu, launcher, sample dialog. The sample dialog, which
    // holds the plug-ins the panes decode with, is made now; the other three are made when start-up first
    // goes idle (ContinueStartup), since nothing on screen waits for them and each is a top-level window.
    m_pTipWnd = std::make_unique<CToolTipWnd>();
    m_pExtMenu = std::make_unique<CLauncherPane>();
    m_pLauncher = std::make_unique<CLauncherWnd>();
    m_pSampleDlg = std::make_unique<CSampleCreateDlg>();
    m_pSampleDlg->Create(IDD_SAMPLE_CREATE, this);

    if (app) {
        app->m_pUpperTree = m_pUpperTree.get();
        app->m_pUpperList = m_pUpperList.get();
        app->m_pLowerTree = m_pLowerTree.get();
        app->m_pLowerList = m_pLowerList.get();
        app->m_pPicView = m_pPicView.get();
        app->m_pMainFrame = this;
        app->m_pExtMenu = m_pExtMenu.get();
        app->m_pLauncher = m_pLauncher.get();
        app->m_pSampleDlg = m_pSampleDlg.get();
    }
    return true;
}

bool CMainFrame::ContinueStartup()
{
    // A window that cannot be made is left out: the frame goes on without it, as at creation.
    CWnd* frame = this;
    switch (m_nStartupStep) {
    case 0:
        if (m_pTipWnd && !m_pTipWnd->m_hWnd)
            m_pTipWnd->Create(IDD_TIP, frame);
        break;
    case 1:
        if (m_pExtMenu && !m_pExtMenu->m_hWnd)
            m_pExtMenu->Create(IDD_EXT_MENU, frame);
        break;
    case 2:
        if (m_pLauncher && !m_pLauncher->m_hWnd)
            m_pLauncher->Create(IDD_LAUNCHER, frame);
        break;
    default:
        return false;
    }
    ++m_nStartupStep;
    return m_nStartupStep < kStartupSteps;
}

void CMainFrame::CreateModelessWindows()
{
    while (ContinueStartup()) {
    }
}

void CMainFrame::RecalcLayout()
{
    // The status bar sits at the bottom; the splitter fills the rest.
    if (!m_wndStatusBar.m_hWnd)
        return;
    m_wndStatusBar.SendMessage(WM_SIZE);
    RECT client = GetClientRect();
    int bottom = client.bottom - m_wndStatusBar.GetHeight();
    // Once the strips exist, the panes leave their row free. Placing the splitter there at once (rather than
    // at the top and then moving it down) resizes every pane only once per size change.
    int top = m_bCreated == 1 ? kStripHeight : 0;
    if (m_wndOuterSplitter.m_hWnd)
        m_wndOuterSplitter.MoveWindow(0, top, client.right, std::max(0L, long(bottom - top)));
}

void CMainFrame::OnSize(int cx, int cy)
{
    RecalcLayout();
    if (m_bCreated != 1)
        return;
    m_wndSystemBar.MoveWindow(0, 0, 250, kStripHeight);
    m_wndLayoutBar.MoveWindow(250, 0, cx, kStripHeight);
    CFoveaApp* app = FoveaApp();
    if (app)
        SetLayout(app->m_nViewWidth, app->m_nTreeWidth, 0);
}

void CMainFrame::SetLayout(int viewWidth, int treeWidth, int filerSplit)
{
    CFoveaApp* app = FoveaApp();
    if (!app || !m_wndOuterSplitter.m_hWnd)
        return;
    RECT r = m_wndOuterSplitter.GetWindowRect();
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    int a = viewWidth >= 0 ? (app->m_nViewWidth = viewWidth) : app->m_nViewWidth;
    int b = treeWidth >= 0 ? (app->m_nTreeWidth = treeWidth) : app->m_nTreeWidth;
    int d = filerSplit >= 0 ? (app->m_nFilerSplit = filerSplit) : app->m_nFilerSplit;

    m_wndOuterSplitter.SetColumnInfo(0, a, 0);
    m_wndOuterSplitter.SetColumnInfo(1, a > w ? 0 : w - a, 0);
    m_wndOuterSplitter.RecalcLayout();

    int upper = d == 0 ? h / 2 : (d == 1 ? h : 0);
    m_wndFilerSplitter.SetRowInfo(0, upper, 0);
    m_wndFilerSplitter.SetColumnInfo(0, b, 0);
    m_wndFilerSplitter.RecalcLayout();
}

void CMainFrame::RepaintStrips() const
{
    // Free when they have not been painted yet: an update region only grows.
    for (const CIconListBox* bar : {&m_wndSystemBar, &m_wndLayoutBar})
        if (bar->m_hWnd)
            ::InvalidateRect(bar->m_hWnd, nullptr, TRUE);
}

void CMainFrame::ShowInView(const CString& path)
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return;
    app->m_nClickMode = 1;
    SetLayout(FrameWidth() / 2, 0, -1);
    if (m_pPicView)
        m_pPicView->OpenFile(path);
}

RECT CMainFrame::GetSplitScreenRect() const
{
    return m_wndOuterSplitter.GetWindowRect();
}

int CMainFrame::FrameWidth() const
{
    RECT r = GetWindowRect();
    return r.right - r.left;
}

CString CMainFrame::CommandPromptLine()
{
    // Where COMMAND.COM is absent the system's own command interpreter is started.
    char found[MAX_PATH];
    if (::SearchPathA(nullptr, "COMMAND.COM", nullptr, sizeof found, found, nullptr))
        return "COMMAND.COM";
    char comspec[MAX_PATH * 2] = {};
    DWORD n = ::GetEnvironmentVariableA("COMSPEC", comspec, sizeof comspec);
    if (n == 0 || n >= sizeof comspec)
        return "cmd.exe";
    return CString("\"") + comspec + "\"";
}

void CMainFrame::OnSystemBarCommand(int index)
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return;
    switch (index) {
    case 0:
        ::WinExec(CommandPromptLine(), SW_SHOW);
        break;
    case 1:
        app->m_nToolTipMode = 1;
        break;
    case 2:
        app->m_nToolTipMode = 2;
        break;
    case 3:
        app->m_nToolTipMode = 0;
        break;
    case 4: {
        CFontSettingDlg dialog;
        dialog.DoModal();
        break;
    }
    default:
        break;  // 5 saves the form: it does nothing, as its tip says
    }
}

void CMainFrame::OnLayoutBarCommand(int index)
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return;
    const int w = FrameWidth();
    switch (index) {
    case 0:
        app->m_nClickMode = 0;
        SetLayout(0, -1, -1);
        break;
    case 1:
        app->m_nClickMode = 1;
        SetLayout(w / 2, 0, -1);
        break;
    case 2:
        app->m_nClickMode = 1;
        SetLayout(2 * w / 3, 0, -1);
        break;
    case 3:
        app->m_nClickMode = 1;
        SetLayout(w, 0, -1);
        break;
    case 4:
        SetLayout(-1, -1, 1);
        break;
    case 5:
        SetLayout(-1, -1, 2);
        break;
    case 6:
        SetLayout(-1, -1, 0);
        break;
    case 7:
        SetLayout(-1, 0, -1);
        break;
    case 8:
        SetLayout(-1, 200, -1);
        break;
    case 9:
        SetLayout(-1, 300, -1);
        break;
    case 10:
        CreateModelessWindows();
        if (m_pLauncher)
            m_pLauncher->ShowLauncher(0);
        break;
    case 11:
        CreateModelessWindows();
        if (m_pLauncher)
            m_pLauncher->ShowLauncher(1);
        break;
    default:
        break;
    }
}

LRESULT CMainFrame::OnBarCommand(WPARAM id)
{
    CIconListBox* bar = id == kSystemBarId ? &m_wndSystemBar : id == kLayoutBarId ? &m_wndLayoutBar : nullptr;
    if (!bar)
        return 0;
    int index = bar->GetCaretIndex();
    bar->SetCaretIndex(-1, true);
    if (id == kSystemBarId)
        OnSystemBarCommand(index);
    else
        OnLayoutBarCommand(index);
    return 0;
}

void CMainFrame::OnPaletteChanged(HWND changer)
{
    if (!m_pPicView || !m_pUpperList || !m_pLowerList)
        return;
    // The picture (or text) is painted by a child of the view pane, which the pane's own repaint leaves alone.
    for (HWND target :
         {m_pUpperList->m_hWnd, m_pLowerList->m_hWnd, m_pPicView->m_hWnd, m_pPicView->GetDisplayWindow()}) {
        if (target && target != changer) {
            ::InvalidateRect(target, nullptr, TRUE);
            ::UpdateWindow(target);
        }
    }
}

void CMainFrame::KeepLauncherWindowsAbove()
{
    // Wine: a click that activates the frame raises it above the windows it owns, which Windows never does;
    // the launcher and the extension menu, shown over the filers, would vanish behind them.
    for (CWnd* owned : {static_cast<CWnd*>(m_pLauncher.get()), static_cast<CWnd*>(m_pExtMenu.get())})
        if (owned && owned->IsWindowVisible())
            ::SetWindowPos(owned->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool CMainFrame::DeferCloseToSampleRun()
{
    // A sample run works on the views and the sample dialog that closing would free: it stops after its current
    // picture, writes what was made and then closes the window again.
    if (!m_pSampleDlg || !m_pSampleDlg->IsRunning())
        return false;
    m_pSampleDlg->RequestClose();
    return true;
}

void CMainFrame::OnDestroy()
{
    // The owned modeless windows go with the frame; the tip window is a plain child of it.
    m_pExtMenu.reset();
    m_pLauncher.reset();
    m_pSampleDlg.reset();
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_CLOSE:
        if (DeferCloseToSampleRun())
            return 0;
        return CFrameWnd::WindowProc(message, wParam, lParam);
    case WM_DESTROY: {
        LRESULT result = CFrameWnd::WindowProc(message, wParam, lParam);
        OnDestroy();
        return result;
    }
    case WM_APP_BARCOMMAND:
        return OnBarCommand(wParam);
    case WM_ACTIVATE: {
        LRESULT result = CFrameWnd::WindowProc(message, wParam, lParam);
        if (LOWORD(wParam) != WA_INACTIVE)
            PostMessage(kRaiseOwnedMessage);
        return result;
    }
    case kRaiseOwnedMessage:
        KeepLauncherWindowsAbove();
        // Wine: the frame may be raised once more when the click that opened a window has been handled.
        ::SetTimer(m_hWnd, kRaiseOwnedTimer, 200, nullptr);
        return 0;
    case WM_TIMER:
        if (wParam != kRaiseOwnedTimer)
            return CFrameWnd::WindowProc(message, wParam, lParam);
        ::KillTimer(m_hWnd, kRaiseOwnedTimer);
        KeepLauncherWindowsAbove();
        return 0;
    case WM_PALETTECHANGED:
        Default();
        OnPaletteChanged(HWND(wParam));
        return 0;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        LRESULT result = CFrameWnd::WindowProc(message, wParam, lParam);
        CFoveaApp* app = FoveaApp();
        return app && app->m_pBackgroundBrush ? LRESULT(app->m_pBackgroundBrush.get()) : result;
    }
    case WM_COMMAND:
        if (lParam == 0 && FoveaApp() && FoveaApp()->OnCommand(LOWORD(wParam)))
            return 0;
        return CFrameWnd::WindowProc(message, wParam, lParam);
    default:
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
}

void CMainFrame::PostNcDestroy()
{
    if (CFoveaApp* app = FoveaApp()) {
        if (app->m_pMainFrame == this)
            app->m_pMainFrame = nullptr;
        if (app->m_pMainWnd == this)
            app->m_pMainWnd = nullptr;
        app->m_pUpperTree = app->m_pLowerTree = nullptr;
        app->m_pUpperList = app->m_pLowerList = nullptr;
        app->m_pPicView = nullptr;
        app->m_pExtMenu = nullptr;
        app->m_pLauncher = nullptr;
        app->m_pSampleDlg = nullptr;
    }
    // A frame whose creation failed is deleted by the document template that made it.
    if (m_bCreated == 1)
        delete this;
}
