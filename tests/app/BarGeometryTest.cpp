// Hit testing of the command strips and the picture chosen for a drive entry.
#include <gtest/gtest.h>

#include "app/BarGeometry.h"

using namespace fovea;

TEST(BarGeometry, ItemFromPoint)
{
    // 12 buttons 30 wide and 24 high in a 24-pixel strip: one row, the column is the index.
    EXPECT_EQ(3, BarItemFromPoint(95, 10, 30, 24, 24, 0));
    EXPECT_EQ(5, BarItemFromPoint(95, 10, 30, 24, 24, 2));  // plus the top index
    EXPECT_EQ(0, BarItemFromPoint(0, 0, 30, 24, 24, 0));
    EXPECT_EQ(11, BarItemFromPoint(359, 23, 30, 24, 24, 0));
    EXPECT_EQ(12, BarItemFromPoint(360, 0, 30, 24, 24, 0));  // beyond the last item: the caller checks
    // A list of 30-high entries in a 300-high column: rows count within a column.
    EXPECT_EQ(13, BarItemFromPoint(150, 95, 120, 30, 300, 0));
    // A strip too low for a whole item has no rows; every column then maps to the top index plus the row.
    EXPECT_EQ(0, BarItemFromPoint(200, 10, 30, 24, 20, 0));
    EXPECT_EQ(-1, BarItemFromPoint(5, 5, 0, 24, 24, 0));
}

TEST(BarGeometry, IconZoneIsTheLeftOfEveryColumn)
{
    EXPECT_TRUE(InIconZone(0, 120, 30));
    EXPECT_TRUE(InIconZone(29, 120, 30));
    EXPECT_FALSE(InIconZone(30, 120, 30));
    EXPECT_TRUE(InIconZone(125, 120, 30));   // second column
    EXPECT_FALSE(InIconZone(10, 30, 0));     // command strips have none
}

TEST(BarGeometry, DrivePictures)
{
    EXPECT_EQ(0, DriveImageOfType('2'));
    EXPECT_EQ(1, DriveImageOfType('3'));
    EXPECT_EQ(1, DriveImageOfType('4'));  // remote drives draw the hard disk
    EXPECT_EQ(2, DriveImageOfType('5'));
    EXPECT_EQ(0, DriveImageOfType('6'));
    EXPECT_EQ(0, DriveImageOfType('0'));
}

TEST(BarGeometry, StripOfEveryMode)
{
    const int bitmaps[] = {140, 134, 141, 138, 148, 150, 155, 156, 157, 158, 162};
    const int images[] = {3, 11, 8, 6, 12, 8, 4, 3, 3, 7, 6};
    for (int mode = 3; mode <= 13; ++mode) {
        EXPECT_EQ(bitmaps[mode - 3], BarStripOfMode(mode).bitmapId) << mode;
        EXPECT_EQ(images[mode - 3], BarStripOfMode(mode).images) << mode;
    }
    EXPECT_EQ(0, BarStripOfMode(2).bitmapId);
    EXPECT_EQ(0, BarStripOfMode(14).bitmapId);
}
