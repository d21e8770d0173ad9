// CFoveaView: the view pane at the left of the main window, which shows a picture or a text file.
#pragma once

#include "framework/FrameWnd.h"

class CFoveaView : public CView {
public:
    // 1 for the pane of the main window.
    int m_bMainView = 0;

    // The font of the text view's edit control (font slot 3).
    void SetTextFont(HFONT font);
    HFONT GetTextFont() const { return m_hTextFont; }
    // The file the pane is asked to show.
    void ShowFile(const CString& path);
    const CString& GetShownPath() const { return m_strPath; }

protected:
    const char* ClassName() const override { return "FoveaPicView"; }
    void OnDraw(HDC hdc) override;

private:
    HFONT m_hTextFont = nullptr;  // owned by the application's font table
    CString m_strPath;
};
