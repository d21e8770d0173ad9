// CLauncherPane: the extension menu (template 136), opened at the pointer when a file is clicked.
#pragma once

#include "framework/Dialog.h"
#include "res/resource.h"

class CLauncherPane : public CDialog {
public:
    CLauncherPane() : CDialog(IDD_EXT_MENU) {}

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCancel() override;
};
