// The text view: loading a whole text in one step, sizing, the edit commands and reading the text back.
#include "text/TextView.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "framework/Handles.h"
#include "text/TextLines.h"

namespace {

// What the user may add to a text beyond its loaded size before the control refuses more input.
constexpr long kEditRoom = 1 << 20;
// A text longer than this is emptied by making the control again.
constexpr LRESULT kFreshControlLength = 64 * 1024;

} // namespace

bool CTextView::EnsureEdit()
{
    if (m_wndEdit.m_hWnd)
        return true;
    if (!m_hWnd)
        return false;
    const DWORD style = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL;
    // Made at its final width: the control lays every line out again whenever its width changes.
    POINT origin = GetScrollPosition();
    if (!m_wndEdit.Create(style, RECT{-origin.x, -origin.y, kEditWidth - origin.x, -origin.y}, m_hWnd, kEditId))
        return false;
    // Without a larger limit the control holds 32 K characters and a longer file would show only its start.
    m_wndEdit.LimitText(kEditRoom);
    if (m_hFont)
        m_wndEdit.SetFont(m_hFont, true);
    return true;
}

void CTextView::SetEditFont(HFONT font)
{
    m_hFont = font;
    if (m_wndEdit.m_hWnd)
        m_wndEdit.SetFont(font, true);
}

void CTextView::ClearText()
{
    if (!m_wndEdit.m_hWnd)
        return;
    // Wine: deleting a long text from the control takes time that grows with the square of its lines (minutes
    // for 100,000); a fresh control is empty at once and looks the same.
    if (m_wndEdit.SendMessage(WM_GETTEXTLENGTH) > kFreshControlLength) {
        m_wndEdit.DestroyWindow();
        EnsureEdit();
        return;
    }
    m_wndEdit.SetSel(0, -1);
    m_wndEdit.Clear();
}

int CTextView::LineHeight()
{
    // The lines are as tall as the font the control draws with; the scroll extent must reach the last of them.
    fovea::ScopedGetDC dc(m_wndEdit.m_hWnd);
    HGDIOBJ old = m_hFont ? ::SelectObject(dc.get(), m_hFont) : nullptr;
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(dc.get(), &metrics);
    if (old)
        ::SelectObject(dc.get(), old);
    return std::max(1, int(metrics.tmHeight + metrics.tmExternalLeading));
}

bool CTextView::ShowLines(const std::string& text)
{
    if (!EnsureEdit())
        return false;
    // The whole text, whatever its size, with room to type more.
    long room = long(std::min<size_t>(text.size() + size_t(std::max(kEditRoom, long(text.size()))), LONG_MAX - 1));
    m_wndEdit.LimitText(room);
    ScrollToPosition(POINT{0, 0});
    // Sized for the text before it goes in (every line ends in CR LF, and the empty line after the last break
    // counts too): the control lays its lines out once, not again for a new size.
    const int lineHeight = LineHeight();
    auto place = [&](int64_t lines) {
        const int height = int(std::min<int64_t>(int64_t(lineHeight) * lines, INT_MAX / 2));
        m_wndEdit.MoveWindow(0, 0, kEditWidth, height);
        SetScrollSizes(MM_TEXT_PIXELS, SIZE{kEditWidth, height}, SIZE{100, 100}, SIZE{20, 20});
    };
    int64_t lines = 1;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ++lines;
    place(lines);
    bool shown = m_wndEdit.SetText(text.data(), text.size());
    if (m_wndEdit.GetLineCount() != lines)
        place(m_wndEdit.GetLineCount());
    m_wndEdit.SetSel(0, 0);
    return shown;
}

std::string CTextView::GetLines()
{
    if (!m_wndEdit.m_hWnd)
        return std::string();
    std::string text = m_wndEdit.GetTextBytes();
    fovea::EndLinesWithCrLf(text);
    return text;
}

void CTextView::EditCommand(int index)
{
    if (!EnsureEdit())
        return;
    switch (index) {
    case 2:
        m_wndEdit.Cut();
        break;
    case 3:
        m_wndEdit.Copy();
        break;
    case 4:
        m_wndEdit.Paste();
        break;
    case 5:
        m_wndEdit.SetSel(0, -1);
        break;
    case 6:
        ClearText();
        break;
    default:
        break;
    }
}

LRESULT CTextView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetScrollSizes(MM_TEXT_PIXELS, SIZE{100, 100});
        return 0;
    default:
        return CScrollView::WindowProc(message, wParam, lParam);
    }
}
