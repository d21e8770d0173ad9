// The decisions of the tip update: the hit order, the entry asked for and the tip's shape.
#include "app/ToolTipRules.h"

namespace fovea {

namespace {

// The first window of [first, last] that contains the point, or -1.
int FirstContaining(const TipScene& scene, int first, int last, int x, int y)
{
    for (int w = first; w <= last; ++w)
        if (scene.windows[w].Contains(x, y))
            return w;
    return -1;
}

} // namespace

int FindTipWindow(const TipScene& scene, int x, int y)
{
    const bool overLauncher = scene.launcherShown && scene.launcher.Contains(x, y);
    const bool overExtMenu = scene.extMenuShown && scene.extMenu.Contains(x, y);
    int found = -1;
    if (!overLauncher && !overExtMenu) {
        found = FirstContaining(scene, kTipFileBarUpper, kTipTextBar, x, y);
        int pane = FirstContaining(scene, kTipFileListUpper, kTipPictureArea, x, y);
        if (pane >= 0)
            found = pane;
    }
    if (scene.launcherShown) {
        int w = FirstContaining(scene, kTipPageBar, kTipLauncherPages, x, y);
        if (w >= 0)
            found = w;
    }
    if (scene.extMenuShown) {
        int w = FirstContaining(scene, kTipExtMenuBar, kTipExtMenuEntries, x, y);
        if (w >= 0)
            found = w;
    }
    return found;
}

bool TipTextIndex(int window, int index, int count, int& textIndex)
{
    const bool onEntry = index < count;
    if (window >= kTipFileListUpper) {
        textIndex = -1;
        return true;
    }
    if (window == kTipLauncherEntries || window == kTipExtMenuEntries) {
        textIndex = onEntry ? index : -1;
        return true;
    }
    textIndex = index;
    return onEntry;
}

int TipLineCount(int mode, const CString& title, const CString& line1)
{
    if (title.IsEmpty())
        return 0;
    return mode == kTipsLarge && !line1.IsEmpty() ? 4 : 1;
}

TipSize TipWindowSize(int widestLine, int lineHeight, int lines)
{
    TipSize size;
    size.cx = widestLine + 2;
    size.cy = lines * lineHeight + 2;
    return size;
}

} // namespace fovea
