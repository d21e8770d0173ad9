// Which numbered window a tip is for, which entry it names and how many lines it shows: the decisions of the
// tip update, apart from the windows they are read from.
#pragma once

#include "app/ToolTipText.h"

namespace fovea {

// A screen rectangle; the right and bottom edges lie outside. An empty one (a hidden or missing window)
// contains no point.
struct TipRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Where the numbered windows are, and the two floating windows that cover what lies below them while shown.
struct TipScene {
    TipRect windows[kTipWindowCount];
    bool launcherShown = false;
    TipRect launcher;
    bool extMenuShown = false;
    TipRect extMenu;
};

// The numbered window under the screen point, or -1. The main window's strips (0 to 11) come first, then its
// panes (18 to 22); the launcher's windows (12 to 15) and then the extension menu's (16, 17) take over where
// those windows are shown, and a point inside either of them never reaches what lies below.
int FindTipWindow(const TipScene& scene, int x, int y);

// Whether the tip of window asks for texts when the pointer is on index of a list of count items; textIndex is
// then the index to ask with (-1 for a pointer over no entry). The strips, the launcher's pages list and the
// extension menu's strip name an entry only below their count; the entry lists and the panes always have texts
// to ask for.
bool TipTextIndex(int window, int index, int count, int& textIndex);

// The index of the entry under a client point of a list: a point left of or above the client area lies on the
// frame and names none (-1); otherwise the list's own hit test.
inline int TipEntryIndex(int clientX, int clientY, int itemFromPoint)
{
    return clientX < 0 || clientY < 0 ? -1 : itemFromPoint;
}

// The lines a tip shows: 4 (title and three body lines, empty ones blank) in large mode when there is a body,
// 1 (the title) otherwise, 0 when there is no title: the tip is hidden.
int TipLineCount(int mode, const CString& title, const CString& line1);

// The tip's size for its widest line and line height: a white area with a pixel to spare on either side and
// two extra pixels below.
struct TipSize {
    int cx = 0, cy = 0;
};
TipSize TipWindowSize(int widestLine, int lineHeight, int lines);

} // namespace fovea
