// CSplitterWnd: a static splitter: a fixed grid of panes with draggable bars between them.
#pragma once

#include <vector>

#include "framework/PaneLayout.h"
#include "framework/Wnd.h"

class CSplitterWnd : public CWnd {
public:
    // The id of the pane at (row, col): the first pane id + 16 x row + col, as the panes are found by id.
    static constexpr UINT kFirstPaneId = 0xE900;
    static UINT IdFromRowCol(int row, int col) { return kFirstPaneId + UINT(16 * row + col); }
    static constexpr int kBarSize = 6;

    bool CreateStatic(HWND parent, int rows, int cols, DWORD style = WS_CHILD | WS_VISIBLE, UINT id = kFirstPaneId);

    // Puts a created pane window at (row, col); the splitter does not own it.
    void SetPane(int row, int col, CWnd* pane);
    CWnd* GetPane(int row, int col) const;

    void SetColumnInfo(int col, int ideal, int min);
    void SetRowInfo(int row, int ideal, int min);
    int GetColumnWidth(int col) const { return m_colSizes[size_t(col)]; }
    int GetRowHeight(int row) const { return m_rowSizes[size_t(row)]; }
    int GetRowCount() const { return int(m_rows.size()); }
    int GetColumnCount() const { return int(m_cols.size()); }

    // Places every pane by the ideal sizes and the splitter's client size.
    void RecalcLayout();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Which bar is at client point p: a column bar (index of the column left of it) or a row bar.
    bool HitBar(POINT p, bool& vertical, int& index) const;
    // Moves, sizes, shows or hides one pane to place (splitter client coordinates; empty = hidden), through the
    // batch when there is one. False when the pane is already there, as shown or hidden as it should be.
    bool PlacePane(HDWP& defer, const CWnd& pane, const RECT& place) const;
    void OnPaint();
    void OnLButtonDown(POINT p);
    void OnMouseMove(POINT p);
    void OnLButtonUp(POINT p);
    bool OnSetCursor();

    std::vector<fovea::PaneInfo> m_rows, m_cols;
    std::vector<int> m_rowSizes, m_colSizes;
    std::vector<CWnd*> m_panes;
    bool m_bTracking = false;
    bool m_bTrackVertical = false;
    int m_nTrackIndex = 0;
    int m_nTrackOffset = 0;
};
