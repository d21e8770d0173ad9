// CStatusBar: the common status bar control at the bottom of a frame.
#pragma once

#include "framework/Wnd.h"

class CStatusBar : public CWnd {
public:
    CStatusBar() { m_bBufferedPaint = true; }
    bool Create(HWND parent, DWORD style, UINT id)
    {
        RECT r = {0, 0, 0, 0};
        return CreateControl(0, STATUSCLASSNAMEA, "", style, r, parent, id);
    }
    // One part per width (right edges computed from the widths); false when the control refuses.
    bool SetPaneWidths(const int* widths, int count);
    // Drawing style of the text of every pane (SBT_POPOUT for a raised pane).
    void SetTextStyle(UINT style) { m_nPaneStyle = style; }
    void SetPaneText(int pane, const char* text) const
    {
        SendMessage(SB_SETTEXTA, WPARAM(pane | m_nPaneStyle), LPARAM(text));
    }
    int GetHeight() const;

private:
    UINT m_nPaneStyle = 0;
};
