// Splitter pane arithmetic.
#include "framework/PaneLayout.h"

#include <algorithm>

namespace fovea {

std::vector<int> LayoutPanes(int total, const std::vector<PaneInfo>& panes, int bar)
{
    std::vector<int> sizes(panes.size(), 0);
    if (panes.empty() || total <= 0)
        return sizes;
    int left = total;
    int previousShown = -1;
    for (size_t i = 0; i < panes.size(); ++i) {
        bool last = i + 1 == panes.size();
        int want = last ? left : ((panes[i].ideal < panes[i].min || panes[i].ideal <= 0) ? 0 : panes[i].ideal);
        if (previousShown >= 0 && want > 0) {
            if (left <= bar)
                break;  // no room for a bar and this pane
            left -= bar;
            if (last)
                want = left;
        }
        sizes[i] = std::min(want, left);
        left -= sizes[i];
        if (sizes[i] > 0)
            previousShown = int(i);
    }
    // Space no pane could use (a bar with nothing after it) goes to the last pane that shows.
    if (left > 0 && previousShown >= 0)
        sizes[size_t(previousShown)] += left;
    return sizes;
}

}  // namespace fovea
