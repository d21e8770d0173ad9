// Hit testing and picture choice of the icon list control, apart from the window that uses them.
#pragma once

namespace fovea {

// The item under client point (x, y) of a multi-column list: (x / column width) x (items per column) +
// top index + (y / item height). It may lie beyond the last item.
int BarItemFromPoint(int x, int y, int columnWidth, int itemHeight, int clientHeight, int topIndex);

// True when x lies in the left part of its column where a press toggles the selection.
bool InIconZone(int x, int columnWidth, int iconZone);

// The drive picture of a drive entry's type digit: 0 removable, 1 hard disk (fixed or remote), 2 CD-ROM.
int DriveImageOfType(char typeDigit);

// The bitmap resource and its image count of each drawing mode with pictures (3 to 13), or 0.
struct BarStrip {
    int bitmapId;
    int images;
};
BarStrip BarStripOfMode(int mode);

}  // namespace fovea
