// CLauncherWnd: the launcher window (template 135), shown at the right edge of the main window's panes.
#pragma once

#include "framework/Dialog.h"
#include "res/resource.h"

class CLauncherWnd : public CDialog {
public:
    CLauncherWnd() : CDialog(IDD_LAUNCHER) {}

    // 0: show at the right edge, or hide when shown; 1: move back to the right edge; 2: show or hide the page
    // column (the window doubles or halves its width to the left).
    void ShowLauncher(int type);

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override;

    // 0: only the entries column; 1: the page column too.
    int m_nLayout = 0;
};
