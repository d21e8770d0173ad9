// CMessageDlg: the modal five-line message dialog with OK and キャンセル that every confirmation and error
// report uses. The lines are painted by the dialog itself in the message font.
#pragma once

#include "framework/Dialog.h"

class CMessageDlg : public CDialog {
public:
    // parent null: the active window owns the dialog.
    explicit CMessageDlg(CWnd* parent = nullptr);

    void SetMessages(CString line1, CString line2, CString line3, CString line4, CString line5);
    // The lines by number 1 to 5 (an empty string for any other number).
    const CString& GetLine(int number) const;

    // Draws the lines into hdc: background from the pixel at (2, 2), left 20, 20-pixel bands from y = 10.
    void PaintLines(HDC hdc, int clientWidth) const;

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The lines shown at once, owned by the active window: IDOK, or IDCANCEL (also Escape and the close box).
    static INT_PTR Show(const CString& line1, const CString& line2 = CString(), const CString& line3 = CString(),
                        const CString& line4 = CString(), const CString& line5 = CString());
    // The overwrite question of a copy, with the name that would be replaced as line 3 when given; true on OK.
    static bool AskOverwrite(const CString& name = CString());

    static constexpr int kLineCount = 5;
    CString m_strLine1, m_strLine2, m_strLine3, m_strLine4, m_strLine5;

private:
    void OnPaint();
};
