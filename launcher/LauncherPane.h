// CLauncherPane: the extension menu (template 136), opened at the pointer when a file is clicked. It lists the
// programs registered for the file's extension (the files of EXT\<EXTENSION>) and starts the chosen one with
// the file; programs dropped on it are registered there.
#pragma once

#include "app/IconListBox.h"
#include "launcher/LauncherDialog.h"
#include "res/resource.h"

class CLauncherPane : public CLauncherDialog {
public:
    CLauncherPane();

    enum { kEntriesId = 301, kBarId = 302 };
    static constexpr int kHeight = 200;

    // The file the menu is for, and its upper-case extension.
    void SetFile(const CString& path, const CString& extension);
    // Lists the programs of folder, making the folder first when it does not exist.
    void OpenFolder(const CString& folder);
    // The menu of path's file (extension in any case) at the pointer, shown; the menu's folder is made on
    // the first opening for that extension.
    void PopUpAtPointer(const CString& path, const CString& extension);

    // The commands: a program clicked, a strip button.
    void OnProgramClick();
    void OnBarButton(int button);
    void OnDropFiles(const CStringArray& paths, POINT screen) override;

    BOOL OnInitDialog() override;
    void OnCancel() override;

    CString m_strFile;
    CString m_strExt;
    CString m_strExtFolder;
    CIconListBox m_wndEntries;
    CIconListBox m_wndBar;

private:
    void Layout(int height) override;
    // Every command hides the menu first, as a pop-up menu goes once chosen from.
    void Hide();
    LRESULT OnBarCommand(WPARAM id) override;
};
