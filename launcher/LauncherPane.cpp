// The extension menu window.
#include "launcher/LauncherPane.h"

#include "app/FoveaApp.h"

void CLauncherPane::OnCancel()
{
    ShowWindow(SW_HIDE);
    if (CFoveaApp* app = FoveaApp())
        app->m_bExtMenuShown = 0;
}

INT_PTR CLauncherPane::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        OnCancel();
        return TRUE;
    default:
        return CDialog::DialogProc(message, wParam, lParam);
    }
}
