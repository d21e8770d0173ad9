// CTextView: the text area of the view pane. A rich-text edit control sized to hold the whole text; the view's
// scroll bars move it.
#pragma once

#include <string>

#include "framework/RichEditCtrl.h"
#include "framework/ScrollView.h"

class CTextView : public CScrollView {
public:
    static constexpr UINT kEditId = 302;
    static constexpr int kEditWidth = 1024;

    // The edit control, made at the first need: its library loads when a text is first shown or edited, not
    // while the program starts. False when the control cannot be made.
    bool EnsureEdit();
    CRichEditCtrl& GetEdit() { return m_wndEdit; }
    HWND GetEditHwnd() const { return m_wndEdit.m_hWnd; }

    // The font of the text (the view font); kept for a control made later.
    void SetEditFont(HFONT font);
    HFONT GetEditFont() const { return m_hFont; }

    // Empties the text: selection from 0 to the end, then clear.
    void ClearText();
    // Shows text (every line ended by CR LF) at once, the caret at its start, the control and the scroll
    // extent sized from its line count. False when the control refused the text.
    bool ShowLines(const std::string& text);
    // The text of the control, every line ended by CR LF (a last line typed without a break gains one).
    std::string GetLines();

    // The text commands of the strip: 2 cut, 3 copy, 4 paste, 5 select all, 6 clear.
    void EditCommand(int index);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const char* ClassName() const override { return "FoveaTextView"; }

private:
    int LineHeight();

    CRichEditCtrl m_wndEdit;
    HFONT m_hFont = nullptr;  // owned by the application's font table
};
