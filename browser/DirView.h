// CDirView: the folder tree pane of a filer.
#pragma once

#include "framework/FrameWnd.h"

class CDirView : public CView {
public:
    // The font of the tree control (font slot 1).
    void SetTreeFont(HFONT font);
    HFONT GetTreeFont() const { return m_hTreeFont; }

protected:
    const char* ClassName() const override { return "FoveaDirView"; }
    void OnDraw(HDC hdc) override;

private:
    HFONT m_hTreeFont = nullptr;  // owned by the application's font table
};
