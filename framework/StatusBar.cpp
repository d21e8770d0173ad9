// Status bar parts.
#include "framework/StatusBar.h"

#include <vector>

bool CStatusBar::SetPaneWidths(const int* widths, int count)
{
    std::vector<int> edges(static_cast<size_t>(count));
    int right = 0;
    for (int i = 0; i < count; ++i) {
        right += widths[i];
        edges[size_t(i)] = right;
    }
    return SendMessage(SB_SETPARTS, WPARAM(count), LPARAM(edges.data())) != 0;
}

int CStatusBar::GetHeight() const
{
    RECT r = GetWindowRect();
    return r.bottom - r.top;
}
