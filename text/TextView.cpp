// The text view: showing a text from its first screen on while the rest goes in on a timer, sizing, the edit
// commands and reading the text back. The files themselves are read and written in TextViewFile.cpp.
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
// What goes in at once: more than any screen of lines shows. The rest follows in pieces of kPieceBytes, for
// about kTickMilliseconds per timer tick, between which the window paints and takes input.
constexpr size_t kFirstPieceBytes = 16 * 1024;
constexpr size_t kPieceBytes = 64 * 1024;
constexpr double kTickMilliseconds = 30;
constexpr UINT_PTR kLoadTimer = 1;

double NowMilliseconds()
{
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

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
    m_wndEdit.m_beforeEdit = [this]() { FinishLoading(); };
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
    StopLoading();
    if (!m_wndEdit.m_hWnd)
        return;
    // Wine: deleting a long text from the control takes time that grows with the square of its lines (minutes
    // for 100,000); a fresh control is empty at once and looks the same.
    if (m_wndEdit.SendMessage(WM_GETTEXTLENGTH) > kFreshControlLength) {
        m_wndEdit.DestroyWindow();
        if (EnsureEdit()) {
            // Made anew it has no height: what the user types next must show.
            ScrollToPosition(POINT{0, 0});
            RECT client = {};
            ::GetClientRect(m_hWnd, &client);
            PlaceEdit(std::max<int64_t>(1, client.bottom / LineHeight()));
        }
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

void CTextView::PlaceEdit(int64_t lines)
{
    const int height = int(std::min<int64_t>(int64_t(LineHeight()) * lines, INT_MAX / 2));
    m_wndEdit.MoveWindow(0, 0, kEditWidth, height);
    SetScrollSizes(MM_TEXT_PIXELS, SIZE{kEditWidth, height}, SIZE{100, 100}, SIZE{20, 20});
}

bool CTextView::ShowLines(std::string text)
{
    StopLoading();
    if (!EnsureEdit())
        return false;
    // The whole text, whatever its size, with room to type more.
    long room = long(std::min<size_t>(text.size() + size_t(std::max(kEditRoom, long(text.size()))), LONG_MAX - 1));
    m_wndEdit.LimitText(room);
    ScrollToPosition(POINT{0, 0});
    // Sized for the whole text before any of it goes in (every line ends in CR LF, and the empty line after the
    // last break counts too): the control lays its lines out once, not again for a new size.
    int64_t lines = 1;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ++lines;
    PlaceEdit(lines);
    const size_t first = fovea::PieceEnd(text, 0, kFirstPieceBytes);
    bool shown = m_wndEdit.SetText(text.data(), first);
    m_wndEdit.SetSel(0, 0);
    m_nPendingLines = lines;
    if (shown && first < text.size()) {
        m_strPending = std::move(text);
        m_nPendingAt = first;
        ::SetTimer(m_hWnd, kLoadTimer, USER_TIMER_MINIMUM, nullptr);
        // The first screen is painted before the rest goes in.
        m_wndEdit.UpdateWindow();
    } else {
        EndLoading();
    }
    return shown;
}

void CTextView::AppendPiece(size_t bytes)
{
    if (!IsLoading())
        return;
    const size_t end = fovea::PieceEnd(m_strPending, m_nPendingAt, bytes);
    // The piece goes after the text there; the user's caret and selection stay where they were.
    CHARRANGE kept = {};
    m_wndEdit.SendMessage(EM_EXGETSEL, 0, LPARAM(&kept));
    m_wndEdit.SetSel(-1, -1);
    bool taken = m_wndEdit.ReplaceSelText(m_strPending.data() + m_nPendingAt, end - m_nPendingAt);
    m_wndEdit.SendMessage(EM_EXSETSEL, 0, LPARAM(&kept));
    m_nPendingAt = end;
    if (!taken) {
        // The control holds only part of the text: it is no longer the file's, and must not be saved over it.
        m_strFailedPath = m_strPendingPath;
        EndLoading();
    } else if (!IsLoading()) {
        EndLoading();
    }
}

void CTextView::OnLoadTimer()
{
    const double start = NowMilliseconds();
    while (IsLoading() && NowMilliseconds() - start < kTickMilliseconds)
        AppendPiece(kPieceBytes);
}

void CTextView::FinishLoading()
{
    if (!IsLoading())
        return;
    ::KillTimer(m_hWnd, kLoadTimer);
    AppendPiece(m_strPending.size());
}

void CTextView::StopLoading()
{
    m_strPending.clear();
    m_nPendingAt = 0;
    if (m_hWnd)
        ::KillTimer(m_hWnd, kLoadTimer);
}

void CTextView::EndLoading()
{
    StopLoading();
    std::string().swap(m_strPending);
    if (m_wndEdit.m_hWnd && m_wndEdit.GetLineCount() != m_nPendingLines)
        PlaceEdit(m_wndEdit.GetLineCount());
}

std::string CTextView::GetLines()
{
    if (!m_wndEdit.m_hWnd)
        return std::string();
    FinishLoading();
    std::string text = m_wndEdit.GetTextBytes();
    fovea::EndLinesWithCrLf(text);
    return text;
}

void CTextView::EditCommand(int index)
{
    if (!EnsureEdit())
        return;
    // Cut, copy, paste and select all act on the whole text; clear drops what has not come in yet.
    if (index != 6)
        FinishLoading();
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
    case WM_TIMER:
        if (wParam == kLoadTimer)
            OnLoadTimer();
        return 0;
    case WM_DESTROY:
        StopLoading();
        return CScrollView::WindowProc(message, wParam, lParam);
    default:
        return CScrollView::WindowProc(message, wParam, lParam);
    }
}
