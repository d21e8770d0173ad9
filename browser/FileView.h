// CFileView: the file list pane of a filer.
#pragma once

#include "framework/FrameWnd.h"

class CFileView : public CView {
public:
    // The font of the column header (font slot 0).
    void SetHeaderFont(HFONT font);
    HFONT GetHeaderFont() const { return m_hHeaderFont; }
    // Switches to the text display with the given line height and icon column.
    void ShowAsText(int itemHeight, int iconWidth);
    // Lists folder (a drive root is two characters, "C:"); the folder tree calls it for its paired list.
    void ShowFolder(const CString& folder);
    const CString& GetFolder() const { return m_strFolder; }

    int m_bCatalog = 0;
    int m_nItemHeight = 0;
    int m_nIconCol = 0;

protected:
    const char* ClassName() const override { return "FoveaFileView"; }
    void OnDraw(HDC hdc) override;

private:
    HFONT m_hHeaderFont = nullptr;  // owned by the application's font table
    CString m_strFolder;
};
