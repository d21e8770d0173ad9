// CFileView: the file list pane of a filer: the list with its column header, the drive and display mode
// strips down the left, the file command strip on top and the navigation strip at the bottom.
#pragma once

#include <string>
#include <vector>

#include "app/IconListBox.h"
#include "browser/FileListBox.h"
#include "framework/FrameWnd.h"
#include "framework/HeaderCtrl.h"
#include "framework/OleDropTarget.h"

class CDirView;

class CFileView : public CView {
public:
    // Control ids: every strip is created as 300 and reports with its own id.
    static constexpr UINT kStripControlId = 300;
    static constexpr UINT kListId = 301;
    static constexpr UINT kHeaderId = 303;
    enum { kDriveBarId = 300, kFileBarId = 301, kNavBarId = 302, kModeBarId = 303 };
    static constexpr int kStripHeight = 25;
    static constexpr int kLeftStripsWidth = 100;
    // Mode strip button of the text display a new view starts in.
    static constexpr int kStartMode = 3;

    // Header widths, then the list's columns, then the list placed below the header.
    void SetColumns(int height, int icon, int name, int ext, int size, int date);
    // One of the six display modes (display mode strip buttons 0 to 5); the folder is not listed again.
    void SetDisplayMode(int button);
    // The text display with a new line height and icon column (after a filer font change).
    void ShowAsText(int itemHeight, int iconWidth);

    // The font of the column header (font slot 0), also that of the drive letters; the header takes the
    // application's header height (set it first).
    void SetHeaderFont(HFONT font);
    HFONT GetHeaderFont() const;

    // Lists folder without moving the tree: the folder tree calls it for its paired list.
    void ShowFolder(const CString& folder) { m_wndList.SetPath(folder); }
    const CString& GetFolder() const { return m_wndList.m_strPath; }

    // The commands of the list (0) and of the strips (300 to 303).
    LRESULT OnBarCommand(WPARAM id);
    void OnItemOpen();
    void OnDriveBarCommand(int button);
    // False when the command was a delete whose confirmation was declined.
    bool OnFileBarCommand(int button);
    void OnNavBarCommand(int button);

    // The sample store's commands (file strip buttons 2 and 3, FileViewSamples.cpp). A run of CreateSamples
    // makes the samples of the selected pictures, merges them into the folder's bank and shows it; it can be
    // stopped between pictures, and only one runs at a time in the whole program.
    void CreateSamples();
    void DeleteAllSamples();
    // Merges the samples made for newNames into the bank of sampleDir; false when the bank could not be
    // written (the user has been told, the old bank is kept).
    bool MergeSamples(const CString& sampleDir, const std::vector<std::string>& newNames);
    // Removes the sample files of names from sampleDir; a missing file is not an error.
    void DeleteSampleFiles(const CString& sampleDir, const std::vector<std::string>& names);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Drops: any drag is offered the copy; a drop copies into the folder shown and lists it again.
    DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINT point) override;
    DWORD OnDragOver(IDataObject* data, DWORD keyState, POINT point) override;
    BOOL OnDrop(IDataObject* data, DWORD keyState, POINT point) override;

    // Registered at creation; the view's WM_DESTROY revokes it.
    COleDropTarget m_dropTarget;
    CFileListBox m_wndList;
    CIconListBox m_wndDriveBar;
    CIconListBox m_wndFileBar;
    CIconListBox m_wndModeBar;
    CIconListBox m_wndNavBar;
    CHeaderCtrl m_wndHeader;

protected:
    const char* ClassName() const override { return "FoveaFileView"; }
    void OnDraw(HDC hdc) override;

private:
    int OnCreate();
    void OnSize(int cx, int cy);
    LRESULT OnNotify(NMHDR* header);
    LRESULT OnCtlColor(UINT message, HDC hdc, HWND control);
    void OnHeaderClick(int item);
    void OnHeaderChanged();
    // Moves the list below the header from the view's window size, shows it and repaints the header.
    void PlaceList();
    void ListFolder(const CString& folder, bool syncTree);
    void GoToParent();
    // Moves the top item by delta items, kept within the list; the caret stays.
    void ScrollBy(int delta);
    int RowsPerColumn() const;
    int VisibleColumns() const;
    // The file command strip (FileViewCommands.cpp).
    void ToggleSelectAll(bool filesOnly);
    // The items a command applies to (the list's CommandItems) that the program's calls reach; the others are
    // named in one message and left alone.
    std::vector<int> CommandItems();
    CString ItemPath(int index) const;
    // Caret on the first item named name, or on item 0.
    void PutCaretOn(const CString& name);
    // False when the confirmation was declined.
    bool DeleteItems();
    void ReportUndeleted(const CStringArray& names);
    void ChangeMask();
    // True when name names one entry of this folder; otherwise the user is told and false comes back.
    static bool AcceptName(const CString& name);
    void MakeNewFolder();
    void MakeShortcuts();
    void RenameItems();
    void EditItemAttributes();
    // The folder tree beside this view, or null.
    CDirView* PairedTree() const;
    void FocusViewPane() const;

    // Set while SetColumns changes the header's widths: the header reports each change, and those reports
    // must not be taken for the user's.
    bool m_bSettingColumns = false;
};
