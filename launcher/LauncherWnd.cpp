// The launcher window's placement.
#include "launcher/LauncherWnd.h"

#include "app/FoveaApp.h"
#include "app/MainFrame.h"

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
        break;
    }
}

void CLauncherWnd::OnCancel()
{
    // Closing hides the modeless window.
    ShowWindow(SW_HIDE);
    if (CFoveaApp* app = FoveaApp())
        app->m_bShowLauncher = 0;
}

INT_PTR CLauncherWnd::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        OnCancel();
        return TRUE;
    default:
        return CDialog::DialogProc(message, wParam, lParam);
    }
}
