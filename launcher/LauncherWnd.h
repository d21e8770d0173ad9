// CLauncherWnd: the launcher window (template 135), shown at the right edge of the main window's panes. It
// lists the entries of one page (a folder of MENU): a click starts the entry's program, a document dropped on
// an entry is opened with it, a program or link dropped on the list is registered in the page. A second
// column lists the pages and takes entries dragged onto another page.
#pragma once

#include "app/IconListBox.h"
#include "launcher/LauncherDialog.h"
#include "res/resource.h"

class CLauncherWnd : public CLauncherDialog {
public:
    CLauncherWnd();

    enum { kEntriesId = 301, kPagesId = 302, kPageBarId = 303, kPageEditBarId = 304 };

    // 0: show at the right edge, or hide when shown; 1: move back to the right edge; 2: show or hide the page
    // column (the window doubles or halves its width to the left).
    void ShowLauncher(int type);

    // A new page folder of the menu folder; 0, or -1 when it could not be made (it exists, the name is no
    // folder name).
    int MakePage(const CString& name);
    // Registers the dropped programs and links in pageFolder, or, with an entry link, opens each dropped
    // document with that entry's program. deleteSource: links are moved rather than copied.
    void AddDroppedFiles(const CStringArray& paths, const CString& pageFolder, const CString& entryLink,
                         bool deleteSource);
    // The files dropped at a screen point of the window: over the entries list or over a page.
    void OnDropFiles(const CStringArray& paths, POINT screen) override;

    // The commands of the four lists.
    void OnEntryClick();
    void OnPageClick();
    void OnPageBarCommand(int button);
    void OnPageEditBarCommand(int button);

    // The page folder at the caret of the pages list; empty when it lies on no page.
    CString CurrentPage() const;
    // Lists the pages again with the caret on keep when it is listed, else on the same position (the last
    // page when that is gone).
    void RefillPages(const CString& keep);
    // Lists the entries of page (nothing for an empty name).
    void ShowPage(const CString& page);

    BOOL OnInitDialog() override;
    void OnCancel() override;

    // 0: only the entries column; 1: the page column too.
    int m_nLayout = 0;
    CIconListBox m_wndEntries;
    CIconListBox m_wndPages;
    CIconListBox m_wndPageBar;
    CIconListBox m_wndPageEditBar;

private:
    void Layout(int height) override;
    // Next (+1) or previous (-1) page, wrapping; nothing without pages.
    void StepPage(int step);
    void AddPage();
    void RenamePage();
    void DeletePage();
    LRESULT OnBarCommand(WPARAM id) override;
};
