// CScrollView: a view whose content is larger than its window; its scroll bars move the content and the child
// windows over it. Positions are 32-bit, including the thumb while it is dragged.
#pragma once

#include "framework/FrameWnd.h"

class CScrollView : public CView {
public:
    // Text mapping mode: one unit is one pixel, the only mode this program uses.
    static constexpr int MM_TEXT_PIXELS = MM_TEXT;

    // Sets the content size and the steps of a page and a line; the position is kept within the new range.
    void SetScrollSizes(int mapMode, SIZE total, SIZE page = SIZE{0, 0}, SIZE line = SIZE{0, 0});
    SIZE GetTotalSize() const { return m_totalSize; }
    SIZE GetPageSize() const { return m_pageSize; }
    SIZE GetLineSize() const { return m_lineSize; }
    POINT GetScrollPosition() const { return m_ptPosition; }
    // Moves the content so that point is at the top left, within the range.
    void ScrollToPosition(POINT point);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The DC's origin is moved by the scroll position before OnDraw.
    void OnPrepareDC(HDC hdc) const;
    void UpdateBars();

private:
    void OnScroll(int bar, int code);
    // The arrow, page, home and end keys scroll as the bars do.
    void OnKey(int key);
    int ClampPosition(int bar, int position) const;

    SIZE m_totalSize = {100, 100};
    SIZE m_pageSize = {0, 0};
    SIZE m_lineSize = {0, 0};
    POINT m_ptPosition = {0, 0};
    bool m_bUpdatingBars = false;
};
