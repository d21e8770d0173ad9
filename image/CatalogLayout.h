// Geometry of one file list item: its column cells, the icon, text, name and picture rectangles of the text
// and catalog display modes, and the attribute icon an item line's attribute field chooses.
#pragma once

#include <string>

namespace fovea {

struct CellRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const CellRect& a, const CellRect& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

struct CatalogItemLayout {
    CellRect textCell[5]; // the text rectangle of each column cell (cell shrunk by 6 left/right, 3 top/bottom)
    CellRect icon;        // A: attribute icon, selection square
    CellRect text;        // Bx: the caret frame
    CellRect name;        // N: the base name in the catalog modes
    CellRect picture;     // P: the sample in the catalog modes
};

// item: the item rectangle; widths: the five column widths; catalog: the display mode kind; lineHeight and
// iconWidth: the application's text line height and icon width.
CatalogItemLayout LayOutCatalogItem(const CellRect& item, const int widths[5], bool catalog, int lineHeight,
                                    int iconWidth);

// Small image index (0 to 4) of an attribute field "SHRAD:" (letters replaced by "_" when clear): A ordinary,
// R read-only, S system, H hidden, D folder, a later match overriding an earlier one. The large image is 5 more.
int AttributeIconOf(const std::string& attributes);
constexpr int kLargeIconOffset = 5;
// Icon rectangles narrower than this take the small icon.
constexpr int kSmallIconLimit = 17;

} // namespace fovea
