// CMainFrame: the main window. The view pane on the left, two filers (folder tree beside file list) on the
// right, two command strips in a 24-pixel row on top, the status bar below; and, hidden, the modeless windows.
#pragma once

#include <memory>

#include "app/IconListBox.h"
#include "app/ToolTipWnd.h"
#include "framework/Dialog.h"
#include "framework/FrameWnd.h"
#include "framework/SplitterWnd.h"
#include "framework/StatusBar.h"

class CFoveaView;
class CDirView;
class CFileView;
class CLauncherPane;
class CLauncherWnd;
class CSampleCreateDlg;

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    static constexpr int kStripHeight = 24;
    static constexpr UINT kStatusBarId = 0xE801;
    static constexpr int kSystemBarId = 300;
    static constexpr int kLayoutBarId = 301;
    // Puts the shown launcher and extension menu back above the frame. Posted at activation and when the menu
    // pops up: by the time it arrives, whatever raised the frame has done so.
    static constexpr UINT kRaiseOwnedMessage = WM_APP + 0x2E;
    static constexpr UINT_PTR kRaiseOwnedTimer = 0x2E;

    // Each argument below 0 keeps the stored value: view width, tree width, filer split (0 both, 1 first, 2 second).
    void SetLayout(int viewWidth, int treeWidth, int filerSplit);
    // Opens the view pane at half the frame's width (trees hidden) and shows path in it.
    void ShowInView(const CString& path);
    // The screen rectangle of the split client area (the panes below the strips).
    RECT GetSplitScreenRect() const;

    // Start-up work that nothing on screen waits for, one piece per call: the hidden tip window, extension menu
    // and launcher. False when nothing is left. The application runs it when its queue first runs empty.
    bool ContinueStartup();
    // All of that at once, for whoever needs one of these windows before.
    void CreateModelessWindows();

    // Paints the two strips again: they are painted before the panes learn the background colour they share.
    void RepaintStrips() const;

    // The commands of the two strips, by button index.
    void OnSystemBarCommand(int index);
    void OnLayoutBarCommand(int index);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    int m_bCreated = 0;
    CSplitterWnd m_wndOuterSplitter;
    CSplitterWnd m_wndFilerSplitter;
    CIconListBox m_wndSystemBar;
    CIconListBox m_wndLayoutBar;
    std::unique_ptr<CLauncherPane> m_pExtMenu;
    std::unique_ptr<CLauncherWnd> m_pLauncher;
    std::unique_ptr<CSampleCreateDlg> m_pSampleDlg;
    std::unique_ptr<CToolTipWnd> m_pTipWnd;
    CStatusBar m_wndStatusBar;

    // The panes; the splitters place them, the frame owns them.
    std::unique_ptr<CFoveaView> m_pPicView;
    std::unique_ptr<CDirView> m_pUpperTree, m_pLowerTree;
    std::unique_ptr<CFileView> m_pUpperList, m_pLowerList;

    // The shell command line of button 0 of the main bar (tests replace it).
    static CString CommandPromptLine();

protected:
    bool OnCreateClient() override;
    void RecalcLayout() override;

private:
    int OnCreate();
    void OnSize(int cx, int cy);
    void OnDestroy();
    // True when a sample run is going on: the close waits until the run has written what it made.
    bool DeferCloseToSampleRun();
    LRESULT OnBarCommand(WPARAM id);
    void OnPaletteChanged(HWND changer);
    // The shown launcher and extension menu back above the frame that owns them.
    void KeepLauncherWindowsAbove();
    int FrameWidth() const;

    static constexpr int kStartupSteps = 3;
    int m_nStartupStep = 0;
};
