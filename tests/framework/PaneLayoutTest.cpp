// How the static splitter shares its space: ideal sizes in order, the last pane takes the rest, hidden panes
// take no bar.
#include <gtest/gtest.h>

#include "framework/PaneLayout.h"

using fovea::LayoutPanes;
using fovea::PaneInfo;

TEST(PaneLayout, SharesSpaceByIdealSizes)
{
    struct Case {
        const char* what;
        int total;
        std::vector<PaneInfo> panes;
        std::vector<int> expected;
    } cases[] = {
        {"half and half", 800, {{400, 0}, {400, 0}}, {400, 394}},
        {"first hidden shows the second alone", 800, {{0, 0}, {800, 0}}, {0, 800}},
        {"first takes all, second hidden", 800, {{800, 0}, {0, 0}}, {800, 0}},
        {"ideal larger than the space", 700, {{800, 0}, {0, 0}}, {700, 0}},
        {"last pane takes the rest whatever its ideal", 800, {{200, 0}, {5, 0}}, {200, 594}},
        {"below the minimum hides", 800, {{50, 60}, {100, 0}}, {0, 800}},
        {"no room for a bar gives the rest to the shown pane", 800, {{797, 0}, {10, 0}}, {800, 0}},
        {"three panes", 100, {{20, 0}, {30, 0}, {0, 0}}, {20, 30, 38}},
        {"nothing to share", 0, {{20, 0}, {30, 0}}, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, LayoutPanes(c.total, c.panes, 6));
    }
}

TEST(PaneLayout, SizesAndBarsFillTheTotal)
{
    for (int total = 1; total < 400; total += 7) {
        for (int ideal = 0; ideal < 420; ideal += 13) {
            std::vector<int> sizes = LayoutPanes(total, {{ideal, 0}, {total - ideal, 0}}, 6);
            int shown = (sizes[0] > 0) + (sizes[1] > 0);
            EXPECT_EQ(total, sizes[0] + sizes[1] + (shown == 2 ? 6 : 0)) << total << " " << ideal;
            EXPECT_GE(sizes[0], 0);
            EXPECT_GE(sizes[1], 0);
        }
    }
}
