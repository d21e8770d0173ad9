// Arithmetic of the static splitter: how the panes of one row or column share the space.
#pragma once

#include <vector>

namespace fovea {

struct PaneInfo {
    int ideal = 0;  // wanted size in pixels
    int min = 0;    // below this the pane is hidden
};

// Sizes of the panes along one axis of total pixels. Every pane but the last takes its ideal size while space
// lasts (0 when its ideal is below its minimum or not positive); the last pane takes what remains. A bar of
// bar pixels separates two panes that both show.
std::vector<int> LayoutPanes(int total, const std::vector<PaneInfo>& panes, int bar);

}  // namespace fovea
