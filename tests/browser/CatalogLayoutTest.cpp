// Item geometry of the text and catalog display modes, and the attribute icon of an item.
#include <gtest/gtest.h>

#include "image/CatalogLayout.h"

using namespace fovea;

TEST(CatalogLayout, CatalogOneCellWithTwelvePixelFont)
{
    const int widths[5] = {80, 0, 0, 0, 0};
    CatalogItemLayout l = LayOutCatalogItem({0, 0, 80, 60}, widths, true, 18, 18);
    EXPECT_EQ((CellRect{4, 3, 76, 39}), l.picture);
    EXPECT_EQ((CellRect{4, 43, 18, 57}), l.icon);
    EXPECT_LT(l.icon.Width(), kSmallIconLimit);
    EXPECT_EQ((CellRect{22, 43, 76, 57}), l.text);
    EXPECT_EQ((CellRect{24, 43, 74, 57}), l.name);
}

TEST(CatalogLayout, CatalogCellsFollowTheItemRectangle)
{
    // The second column's cell of catalog 2 (100 x 70) at x 100, row 1.
    const int widths[5] = {100, 0, 0, 0, 0};
    CatalogItemLayout l = LayOutCatalogItem({100, 70, 200, 140}, widths, true, 18, 18);
    EXPECT_EQ((CellRect{104, 73, 196, 119}), l.picture);
    EXPECT_EQ((CellRect{104, 123, 118, 137}), l.icon);
}

TEST(CatalogLayout, TextModeColumns)
{
    const int widths[5] = {24, 150, 50, 130, 200};
    CatalogItemLayout l = LayOutCatalogItem({0, 20, 554, 38}, widths, false, 18, 24);
    EXPECT_EQ((CellRect{2, 22, 22, 36}), l.icon); // a 24-pixel column leaves 20 pixels for a sample
    EXPECT_EQ((CellRect{26, 22, 552, 36}), l.text);
    EXPECT_EQ((CellRect{30, 23, 168, 35}), l.textCell[1]);
    EXPECT_EQ((CellRect{180, 23, 218, 35}), l.textCell[2]);
    EXPECT_EQ((CellRect{230, 23, 348, 35}), l.textCell[3]);
    EXPECT_EQ((CellRect{360, 23, 548, 35}), l.textCell[4]);
}

TEST(CatalogLayout, CellsAreClippedToTheItem)
{
    // Hidden size and date columns, and an item narrower than its columns.
    const int widths[5] = {18, 150, 50, 0, 0};
    CatalogItemLayout l = LayOutCatalogItem({0, 0, 100, 18}, widths, false, 18, 18);
    EXPECT_EQ(100 - 6, l.textCell[1].right);
    EXPECT_EQ(100 + 6, l.textCell[2].left); // empty: starts beyond the item
    EXPECT_LE(l.textCell[3].Width(), 0);
    EXPECT_LE(l.textCell[4].Width(), 0);
}

TEST(CatalogLayout, AttributeIconsLaterLettersWin)
{
    struct Case {
        const char* attributes;
        int icon;
    } cases[] = {
        {"_____:", 1}, {"___A_:", 1}, {"__R__:", 2}, {"__RA_:", 2}, {"S_RA_:", 3},
        {"SHRA_:", 4}, {"_H___:", 4}, {"____D:", 0}, {"SHRAD:", 0}, {"", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.icon, AttributeIconOf(c.attributes)) << c.attributes;
}
