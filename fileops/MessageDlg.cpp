// The message dialog: five painted lines over the dialog face, OK (1) and キャンセル (2).
#include "fileops/MessageDlg.h"

#include "app/FoveaApp.h"
#include "framework/Handles.h"
#include "res/resource.h"

namespace {

HFONT MessageFont()
{
    CFoveaApp* app = FoveaApp();
    return app ? app->GetFont(app->m_anElementFont[fovea::kFontMessage]) : nullptr;
}

} // namespace

CMessageDlg::CMessageDlg(CWnd* parent) : CDialog(IDD_MESSAGE, parent) {}

void CMessageDlg::SetMessages(CString line1, CString line2, CString line3, CString line4, CString line5)
{
    m_strLine1 = line1;
    m_strLine2 = line2;
    m_strLine3 = line3;
    m_strLine4 = line4;
    m_strLine5 = line5;
}

INT_PTR CMessageDlg::Show(const CString& line1, const CString& line2, const CString& line3, const CString& line4,
                          const CString& line5)
{
    CMessageDlg dialog;
    dialog.SetMessages(line1, line2, line3, line4, line5);
    return dialog.DoModal();
}

bool CMessageDlg::AskOverwrite(const CString& name)
{
    return Show("既にコピー先に同名のファイルが存在します", "上書きしますか？", name) == IDOK;
}

const CString& CMessageDlg::GetLine(int number) const
{
    static const CString kNone;
    const CString* lines[kLineCount] = {&m_strLine1, &m_strLine2, &m_strLine3, &m_strLine4, &m_strLine5};
    return number >= 1 && number <= kLineCount ? *lines[number - 1] : kNone;
}

void CMessageDlg::PaintLines(HDC hdc, int clientWidth) const
{
    COLORREF face = ::GetPixel(hdc, 2, 2);
    if (face == CLR_INVALID)
        face = ::GetSysColor(COLOR_BTNFACE);
    ::SetBkColor(hdc, face);
    fovea::SelectObjectScope font(hdc, MessageFont());
    for (int i = 0; i < kLineCount; ++i) {
        const CString& line = GetLine(i + 1);
        if (line.IsEmpty())
            continue;
        RECT band = {20, 10 + 20 * i, clientWidth, 30 + 20 * i};
        ::DrawTextA(hdc, line, line.GetLength(), &band, DT_BOTTOM);
    }
}

void CMessageDlg::OnPaint()
{
    fovea::ScopedPaint paint(m_hWnd);
    PaintLines(paint.get(), GetClientRect().right);
}

INT_PTR CMessageDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return TRUE;
    case WM_PRINTCLIENT:
        PaintLines(HDC(wParam), GetClientRect().right);
        return TRUE;
    default:
        return CDialog::DialogProc(message, wParam, lParam);
    }
}
