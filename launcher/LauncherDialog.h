// CLauncherDialog: what the launcher window and the extension menu share: modeless dialogs holding entry lists
// laid out at every size change, taking dropped files through their own drop target, reporting their lists'
// presses as WM_APP_BARCOMMAND, painted in the program's background colour with the launcher font, and hidden
// rather than closed.
#pragma once

#include "framework/Dialog.h"
#include "launcher/FileDropTarget.h"

class CLauncherDialog : public CDialog {
public:
    explicit CLauncherDialog(UINT templateId);
    // Destroyed while the whole object is there: WM_DESTROY revokes the drop target.
    ~CLauncherDialog() override { DestroyWindow(); }

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter, which the dialog manager turns into OK, presses the caret item of the list that has the focus,
    // as a click on it would; the window stays as the command leaves it.
    void OnOK() override;

    // The files dropped at a screen point of the window.
    virtual void OnDropFiles(const CStringArray& paths, POINT screen) = 0;

    CFileDropTarget m_dropTarget;

protected:
    virtual void Layout(int height) = 0;
    virtual LRESULT OnBarCommand(WPARAM id) = 0;
};
