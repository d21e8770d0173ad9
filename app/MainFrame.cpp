// The main window: its creation, layout and the commands of its strips.
#include "app/MainFrame.h"

#include "app/FoveaApp.h"

bool CMainFrame::OnCreateClient()
{
    if (CFoveaApp* app = FoveaApp())
        app->m_pMainFrame = this;
    m_bCreated = 1;
    return true;
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (FoveaApp() && FoveaApp()->OnCommand(LOWORD(wParam)))
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
    }
    delete this;
}
