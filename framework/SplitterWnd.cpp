// Static splitter: layout, bar painting and bar dragging.
#include "framework/SplitterWnd.h"

#include "framework/Handles.h"

bool CSplitterWnd::CreateStatic(HWND parent, int rows, int cols, DWORD style, UINT id)
{
    m_rows.assign(size_t(rows), fovea::PaneInfo{0, 0});
    m_cols.assign(size_t(cols), fovea::PaneInfo{0, 0});
    m_rowSizes.assign(size_t(rows), 0);
    m_colSizes.assign(size_t(cols), 0);
    m_panes.assign(size_t(rows * cols), nullptr);
    return CreateEx(0, "FoveaSplitter", "", style | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, HMENU(UINT_PTR(id)));
}

void CSplitterWnd::SetPane(int row, int col, CWnd* pane)
{
    m_panes[size_t(row) * m_cols.size() + size_t(col)] = pane;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const
{
    return m_panes[size_t(row) * m_cols.size() + size_t(col)];
}

void CSplitterWnd::SetColumnInfo(int col, int ideal, int min)
{
    m_cols[size_t(col)] = {ideal, min};
}

void CSplitterWnd::SetRowInfo(int row, int ideal, int min)
{
    m_rows[size_t(row)] = {ideal, min};
}

void CSplitterWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    RECT client = GetClientRect();
    m_colSizes = fovea::LayoutPanes(client.right, m_cols, kBarSize);
    m_rowSizes = fovea::LayoutPanes(client.bottom, m_rows, kBarSize);
    HDWP defer = ::BeginDeferWindowPos(int(m_panes.size()));
    bool changed = false;
    int y = 0;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        int x = 0;
        for (size_t c = 0; c < m_cols.size(); ++c) {
            CWnd* pane = m_panes[r * m_cols.size() + c];
            int w = m_colSizes[c], h = m_rowSizes[r];
            if (pane && pane->m_hWnd && PlacePane(defer, *pane, RECT{x, y, x + w, y + h}))
                changed = true;
            if (w > 0)
                x += w + kBarSize;
        }
        if (m_rowSizes[r] > 0)
            y += m_rowSizes[r] + kBarSize;
    }
    if (defer)
        ::EndDeferWindowPos(defer);
    // The bars: what no pane covers. A layout that moved nothing leaves them as they are.
    if (changed)
        Invalidate(true);
}

bool CSplitterWnd::PlacePane(HDWP& defer, const CWnd& pane, const RECT& place) const
{
    bool shown = place.right > place.left && place.bottom > place.top;
    bool visible = (::GetWindowLongA(pane.m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
    RECT now = pane.GetWindowRect();
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
    if (shown == visible && (!shown || ::EqualRect(&now, &place)))
        return false;
    // A pane that moves or changes size is painted again whole, children and all, rather than have its old
    // pixels copied along. The panes of one layout move one after the other (Wine carries a deferred batch out
    // window by window), so when a pane's turn comes its old place may already be covered or painted over by a
    // neighbour, and what would be copied is partly someone else's: holes and stale strips that nothing
    // repaints. Panes that stay where they are keep their pixels.
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (defer)
        defer = ::DeferWindowPos(defer, pane.m_hWnd, nullptr, place.left, place.top, place.right - place.left,
                                 place.bottom - place.top, flags);
    if (!defer) // no batch to join (none could be made): placed on its own
        ::SetWindowPos(pane.m_hWnd, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                       flags);
    return true;
}

bool CSplitterWnd::HitBar(POINT p, bool& vertical, int& index) const
{
    int x = 0;
    for (size_t c = 0; c + 1 < m_cols.size(); ++c) {
        x += m_colSizes[c];
        if (m_colSizes[c] > 0 && p.x >= x && p.x < x + kBarSize) {
            vertical = true;
            index = int(c);
            return true;
        }
        if (m_colSizes[c] > 0)
            x += kBarSize;
    }
    int y = 0;
    for (size_t r = 0; r + 1 < m_rows.size(); ++r) {
        y += m_rowSizes[r];
        if (m_rowSizes[r] > 0 && p.y >= y && p.y < y + kBarSize) {
            vertical = false;
            index = int(r);
            return true;
        }
        if (m_rowSizes[r] > 0)
            y += kBarSize;
    }
    return false;
}

void CSplitterWnd::OnPaint()
{
    fovea::ScopedPaint paint(m_hWnd);
    RECT client = GetClientRect();
    // Bars are the parts of the client area that no pane covers: a raised 3D face.
    ::FillRect(paint.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
    int x = 0;
    for (size_t c = 0; c + 1 < m_cols.size(); ++c) {
        x += m_colSizes[c];
        if (m_colSizes[c] > 0 && x < client.right) {
            RECT bar = {x, 0, x + kBarSize, client.bottom};
            ::DrawEdge(paint.get(), &bar, EDGE_RAISED, BF_LEFT | BF_RIGHT);
            x += kBarSize;
        }
    }
    int y = 0;
    for (size_t r = 0; r + 1 < m_rows.size(); ++r) {
        y += m_rowSizes[r];
        if (m_rowSizes[r] > 0 && y < client.bottom) {
            RECT bar = {0, y, client.right, y + kBarSize};
            ::DrawEdge(paint.get(), &bar, EDGE_RAISED, BF_TOP | BF_BOTTOM);
            y += kBarSize;
        }
    }
}

void CSplitterWnd::OnLButtonDown(POINT p)
{
    if (!HitBar(p, m_bTrackVertical, m_nTrackIndex))
        return;
    m_bTracking = true;
    int start = 0;
    const std::vector<int>& sizes = m_bTrackVertical ? m_colSizes : m_rowSizes;
    for (int i = 0; i <= m_nTrackIndex; ++i)
        start += sizes[size_t(i)] + (i < m_nTrackIndex && sizes[size_t(i)] > 0 ? kBarSize : 0);
    m_nTrackOffset = (m_bTrackVertical ? p.x : p.y) - start;
    ::SetCapture(m_hWnd);
}

void CSplitterWnd::OnMouseMove(POINT p)
{
    if (!m_bTracking)
        return;
    // The pane before the bar gets the new size; the pane after it gives up the same amount.
    std::vector<fovea::PaneInfo>& infos = m_bTrackVertical ? m_cols : m_rows;
    const std::vector<int>& sizes = m_bTrackVertical ? m_colSizes : m_rowSizes;
    int before = 0;
    for (int i = 0; i < m_nTrackIndex; ++i)
        before += sizes[size_t(i)] + (sizes[size_t(i)] > 0 ? kBarSize : 0);
    int edge = (m_bTrackVertical ? p.x : p.y) - m_nTrackOffset - before;
    int oldSize = sizes[size_t(m_nTrackIndex)];
    int newSize = std::max(0, edge);
    infos[size_t(m_nTrackIndex)].ideal = newSize;
    if (size_t(m_nTrackIndex + 1) < infos.size() - 1)
        infos[size_t(m_nTrackIndex + 1)].ideal = std::max(0, infos[size_t(m_nTrackIndex + 1)].ideal - (newSize - oldSize));
    RecalcLayout();
}

void CSplitterWnd::OnLButtonUp(POINT)
{
    if (m_bTracking) {
        m_bTracking = false;
        ::ReleaseCapture();
    }
}

bool CSplitterWnd::OnSetCursor()
{
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(m_hWnd, &p);
    bool vertical = false;
    int index = 0;
    if (!m_bTracking && !HitBar(p, vertical, index))
        return false;
    if (m_bTracking)
        vertical = m_bTrackVertical;
    ::SetCursor(::LoadCursor(nullptr, vertical ? IDC_SIZEWE : IDC_SIZENS));
    return true;
}

LRESULT CSplitterWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT p = {short(LOWORD(lParam)), short(HIWORD(lParam))};
    switch (message) {
    case WM_SIZE:
        RecalcLayout();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        OnLButtonDown(p);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(p);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(p);
        return 0;
    case WM_SETCURSOR:
        if (HWND(wParam) == m_hWnd && OnSetCursor())
            return TRUE;
        return CWnd::WindowProc(message, wParam, lParam);
    case WM_CAPTURECHANGED:
        m_bTracking = false;
        return 0;
    default:
        // Owner-draw and notification messages of the panes' own controls go to the parent frame.
        if (message == WM_APP_BARCOMMAND)
            return ::SendMessageA(GetParent(), message, wParam, lParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
