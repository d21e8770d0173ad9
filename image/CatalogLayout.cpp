// Item geometry of the file list's display modes.
#include "image/CatalogLayout.h"

#include <algorithm>

namespace fovea {

namespace {

CellRect Shrunk(CellRect r, int dx, int dy)
{
    r.left += dx;
    r.right -= dx;
    r.top += dy;
    r.bottom -= dy;
    return r;
}

} // namespace

CatalogItemLayout LayOutCatalogItem(const CellRect& item, const int widths[5], bool catalog, int lineHeight,
                                    int iconWidth)
{
    CatalogItemLayout layout;
    CellRect cell0 = item;
    int x = item.left;
    for (int i = 0; i < 5; ++i) {
        CellRect cell = {std::min(x, item.right), item.top, std::min(x + widths[i], item.right), item.bottom};
        if (i == 0)
            cell0 = cell;
        layout.textCell[i] = Shrunk(cell, 6, 3);
        x += widths[i];
    }

    CellRect icon, text;
    if (!catalog) {
        icon = {item.left, item.top, item.left + widths[0], item.bottom};
        text = {item.left + widths[0], item.top, item.right, item.bottom};
    } else {
        CellRect c = Shrunk(cell0, 2, 1);
        layout.picture = Shrunk({c.left, c.top, c.right, c.bottom - lineHeight}, 2, 2);
        icon = {c.left, c.bottom - lineHeight, c.left + iconWidth, c.bottom};
        text = {c.left + iconWidth, c.bottom - lineHeight, c.right, c.bottom};
    }
    layout.icon = Shrunk(icon, 2, 2);
    layout.text = Shrunk(text, 2, 2);
    layout.name = Shrunk(layout.text, 2, 0);
    return layout;
}

int AttributeIconOf(const std::string& attributes)
{
    int icon = 1; // ordinary file
    auto has = [&](size_t at, char letter) { return attributes.size() > at && attributes[at] == letter; };
    if (has(3, 'A'))
        icon = 1;
    if (has(2, 'R'))
        icon = 2;
    if (has(0, 'S'))
        icon = 3;
    if (has(1, 'H'))
        icon = 4;
    if (has(4, 'D'))
        icon = 0;
    return icon;
}

} // namespace fovea
