// Scrolling views: bars from the content size, content and child windows moved together.
#include "framework/ScrollView.h"

#include <algorithm>

void CScrollView::SetScrollSizes(int mapMode, SIZE total, SIZE page, SIZE line)
{
    m_totalSize = {std::max(0L, long(total.cx)), std::max(0L, long(total.cy))};
    // A step of 0 takes the defaults: a tenth of the content for a page, a tenth of a page for a line.
    m_pageSize = {page.cx > 0 ? page.cx : m_totalSize.cx / 10, page.cy > 0 ? page.cy : m_totalSize.cy / 10};
    m_lineSize = {line.cx > 0 ? line.cx : m_pageSize.cx / 10, line.cy > 0 ? line.cy : m_pageSize.cy / 10};
    if (m_hWnd)
        UpdateBars();
}

int CScrollView::ClampPosition(int bar, int position) const
{
    RECT client = GetClientRect();
    long extent = bar == SB_HORZ ? m_totalSize.cx - client.right : m_totalSize.cy - client.bottom;
    return int(std::clamp(long(position), 0L, std::max(0L, extent)));
}

void CScrollView::ScrollToPosition(POINT point)
{
    if (!m_hWnd)
        return;
    POINT target = {ClampPosition(SB_HORZ, point.x), ClampPosition(SB_VERT, point.y)};
    int dx = m_ptPosition.x - target.x;
    int dy = m_ptPosition.y - target.y;
    if (dx == 0 && dy == 0)
        return;
    m_ptPosition = target;
    // The children (a text view's edit control) move with the content.
    ::ScrollWindowEx(m_hWnd, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE | SW_SCROLLCHILDREN);
    ::SetScrollPos(m_hWnd, SB_HORZ, m_ptPosition.x, TRUE);
    ::SetScrollPos(m_hWnd, SB_VERT, m_ptPosition.y, TRUE);
}

namespace {

// Gives a bar its range and page without drawing it; false when it had them already.
bool SetBarRange(HWND hwnd, int bar, long extent, long page)
{
    SCROLLINFO now = {sizeof now, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    const int max = int(std::max(0L, extent - 1));
    const UINT pageSize = UINT(std::max(0L, page));
    if (::GetScrollInfo(hwnd, bar, &now) && now.nMin == 0 && now.nMax == max && now.nPage == pageSize)
        return false;
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE, 0, max, pageSize, 0, 0};
    ::SetScrollInfo(hwnd, bar, &info, FALSE);
    return true;
}

} // namespace

void CScrollView::UpdateBars()
{
    // Showing or hiding a bar resizes the client area, which comes back here through WM_SIZE.
    if (m_bUpdatingBars)
        return;
    m_bUpdatingBars = true;
    bool changed = false;
    for (int pass = 0; pass < 2; ++pass) {
        RECT client = GetClientRect();
        changed |= SetBarRange(m_hWnd, SB_HORZ, m_totalSize.cx, client.right);
        changed |= SetBarRange(m_hWnd, SB_VERT, m_totalSize.cy, client.bottom);
    }
    m_bUpdatingBars = false;
    ScrollToPosition(m_ptPosition);
    changed |= ::SetScrollPos(m_hWnd, SB_HORZ, m_ptPosition.x, FALSE) != m_ptPosition.x;
    changed |= ::SetScrollPos(m_hWnd, SB_VERT, m_ptPosition.y, FALSE) != m_ptPosition.y;
    // Wine: every bar drawn at once is a round of X requests; the bars are drawn once, with the next paint.
    if (changed)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void CScrollView::OnScroll(int bar, int code)
{
    const bool horizontal = bar == SB_HORZ;
    int position = horizontal ? m_ptPosition.x : m_ptPosition.y;
    int page = horizontal ? m_pageSize.cx : m_pageSize.cy;
    int line = horizontal ? m_lineSize.cx : m_lineSize.cy;
    switch (code) {
    case SB_LINEUP:
        position -= line;
        break;
    case SB_LINEDOWN:
        position += line;
        break;
    case SB_PAGEUP:
        position -= page;
        break;
    case SB_PAGEDOWN:
        position += page;
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = horizontal ? m_totalSize.cx : m_totalSize.cy;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The message carries only 16 bits of the position; the bar itself has all 32.
        SCROLLINFO info = {sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        ::GetScrollInfo(m_hWnd, bar, &info);
        position = info.nTrackPos;
        break;
    }
    default:
        return;
    }
    POINT target = m_ptPosition;
    (horizontal ? target.x : target.y) = position;
    ScrollToPosition(target);
}

void CScrollView::OnKey(int key)
{
    struct KeyScroll {
        int key, bar, code;
    };
    static const KeyScroll kKeys[] = {
        {VK_UP, SB_VERT, SB_LINEUP},     {VK_DOWN, SB_VERT, SB_LINEDOWN},  {VK_PRIOR, SB_VERT, SB_PAGEUP},
        {VK_NEXT, SB_VERT, SB_PAGEDOWN}, {VK_HOME, SB_VERT, SB_TOP},       {VK_END, SB_VERT, SB_BOTTOM},
        {VK_LEFT, SB_HORZ, SB_LINEUP},   {VK_RIGHT, SB_HORZ, SB_LINEDOWN},
    };
    for (const KeyScroll& k : kKeys)
        if (k.key == key)
            OnScroll(k.bar, k.code);
}

void CScrollView::OnPrepareDC(HDC hdc) const
{
    ::SetViewportOrgEx(hdc, -m_ptPosition.x, -m_ptPosition.y, nullptr);
}

LRESULT CScrollView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(m_hWnd, &ps);
        OnPrepareDC(hdc);
        OnDraw(hdc);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_SIZE:
        UpdateBars();
        return 0;
    case WM_HSCROLL:
        OnScroll(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        OnScroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_KEYDOWN:
        OnKey(int(wParam));
        return 0;
    case WM_MOUSEWHEEL: {
        int notches = short(HIWORD(wParam)) / WHEEL_DELTA;
        ScrollToPosition(POINT{m_ptPosition.x, m_ptPosition.y - notches * 3 * std::max(1L, long(m_lineSize.cy))});
        return 0;
    }
    default:
        return CView::WindowProc(message, wParam, lParam);
    }
}
