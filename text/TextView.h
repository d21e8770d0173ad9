// CTextView: the text area of the view pane. A rich-text edit control sized to hold the whole text; the view's
// scroll bars move it. A text is read from its file whole, shown from its first screen at once and put in
// piece by piece while the window stays live; a save or an edit waits for the rest.
#pragma once

#include <cstdint>
#include <string>

#include "framework/ScrollView.h"
#include "text/TextEdit.h"

class CTextView : public CScrollView {
public:
    static constexpr UINT kEditId = 302;
    static constexpr int kEditWidth = 1024;

    // The edit control, made at the first need: its library loads when a text is first shown or edited, not
    // while the program starts. False when the control cannot be made.
    bool EnsureEdit();
    CTextEdit& GetEdit() { return m_wndEdit; }
    HWND GetEditHwnd() const { return m_wndEdit.m_hWnd; }

    // The font of the text (the view font); kept for a control made later.
    void SetEditFont(HFONT font);
    HFONT GetEditFont() const { return m_hFont; }

    // Empties the text: selection from 0 to the end, then clear. A text still loading stops loading.
    void ClearText();
    // Shows text (every line ended by CR LF): its first screen at once, the caret at its start, the control and
    // the scroll extent sized from its line count; the rest follows on a timer. False when the control refused
    // the text.
    bool ShowLines(std::string text);
    // The text of the control, every line ended by CR LF (a last line typed without a break gains one); a text
    // still loading is put in whole first.
    std::string GetLines();

    // Reads path and shows it (ShowLines). False when the file cannot be read whole or the control refuses it:
    // the path is then remembered as one whose text is not shown whole (LoadFailedFor).
    bool LoadFile(const CString& path);
    // Writes the text to path, replacing the file only by a complete new one. False when that failed.
    bool SaveFile(const CString& path);
    // True when path is the file of the last load and that load failed: its text must not be saved over it.
    bool LoadFailedFor(const CString& path) const;
    // A text still being put into the control.
    bool IsLoading() const { return m_nPendingAt < m_strPending.size(); }
    // Puts the rest of a loading text in at once.
    void FinishLoading();

    // The text commands of the strip: 2 cut, 3 copy, 4 paste, 5 select all, 6 clear.
    void EditCommand(int index);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const char* ClassName() const override { return "FoveaTextView"; }

private:
    int LineHeight();
    // Sizes the control and the scroll extent for lines lines of text.
    void PlaceEdit(int64_t lines);
    // Puts the next piece of the loading text (at least bytes long) at the end of the control's text.
    void AppendPiece(size_t bytes);
    void OnLoadTimer();
    void StopLoading();
    // The control's text is complete: the timer stops, the extent follows the real line count.
    void EndLoading();

    CTextEdit m_wndEdit;
    HFONT m_hFont = nullptr; // owned by the application's font table
    // The text being put in and how far it is; the line count it was sized for.
    std::string m_strPending;
    size_t m_nPendingAt = 0;
    int64_t m_nPendingLines = 0;
    // The file of the text loading, and that of the last load that failed (empty after one that succeeded).
    CString m_strPendingPath;
    CString m_strFailedPath;
};
