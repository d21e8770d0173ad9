// Icon list control arithmetic.
#include "app/BarGeometry.h"

namespace fovea {

int BarItemFromPoint(int x, int y, int columnWidth, int itemHeight, int clientHeight, int topIndex)
{
    if (columnWidth <= 0 || itemHeight <= 0)
        return -1;
    return (x / columnWidth) * (clientHeight / itemHeight) + topIndex + (y / itemHeight);
}

bool InIconZone(int x, int columnWidth, int iconZone)
{
    if (columnWidth <= 0)
        return false;
    return x % columnWidth < iconZone;
}

int DriveImageOfType(char typeDigit)
{
    switch (typeDigit) {
    case '3':
    case '4':
        return 1;
    case '5':
        return 2;
    default:
        return 0;
    }
}

BarStrip BarStripOfMode(int mode)
{
    static const BarStrip kStrips[] = {
        {140, 3}, {134, 11}, {141, 8}, {138, 6}, {148, 12}, {150, 8},
        {155, 4}, {156, 3},  {157, 3}, {158, 7}, {162, 6},
    };
    if (mode < 3 || mode > 13)
        return {0, 0};
    return kStrips[mode - 3];
}

}  // namespace fovea
