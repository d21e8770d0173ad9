// The time text of the attributes dialog: the year pivot that keeps dates after 1999 where they were, and texts
// that name no real time refused rather than turned into some other time.
#include <gtest/gtest.h>

#include "fileops/AttrTime.h"

using fovea::ItemTime;

namespace {

bool Same(const ItemTime& a, const ItemTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
}

} // namespace

TEST(AttrTime, ReadsTheTwoDigitYearWithAPivotAndRoundTrips)
{
    struct Case {
        const char* text;
        ItemTime time;
    } cases[] = {
        {"96-12-24 18:30:00", {1996, 12, 24, 18, 30, 0}},  {"70-01-01 00:00:00", {1970, 1, 1, 0, 0, 0}},
        {"99-12-31 23:59:59", {1999, 12, 31, 23, 59, 59}}, {"00-02-29 12:00:00", {2000, 2, 29, 12, 0, 0}},
        {"26-03-05 07:08:09", {2026, 3, 5, 7, 8, 9}},      {"69-06-30 01:02:03", {2069, 6, 30, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ItemTime read;
        ASSERT_TRUE(fovea::ParseAttrTime(c.text, read));
        EXPECT_TRUE(Same(c.time, read));
        EXPECT_EQ(c.text, fovea::FormatAttrTime(read));
    }
    ItemTime read;
    EXPECT_TRUE(fovea::ParseAttrTime("96/08/31-23.05.09  ", read)) << "any separator, trailing blanks";
}

TEST(AttrTime, RefusesTextsThatNameNoRealTimeAndLeavesTheTimeAlone)
{
    const char* const texts[] = {
        "",                    // emptied
        "96-8-31 23:05:09",    // one digit
        "96-08-31 23:05",      // cut short
        "96-08-31 23:05:09x",  // more after the seconds
        "96-08-3123:05:09",    // fields run together
        "9a-08-31 23:05:09",   // a letter
        "96-13-01 00:00:00",   // month 13
        "96-00-10 00:00:00",   // month 0
        "97-02-29 00:00:00",   // no leap year
        "96-04-31 00:00:00",   // April has 30 days
        "96-08-00 00:00:00",   // day 0
        "96-08-31 24:00:00",   // hour 24
        "96-08-31 23:60:00",   // minute 60
        "96-08-31 23:05:60",   // second 60
        "９６-08-31 23:05:09", // full-width digits
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        ItemTime time{1990, 5, 6, 7, 8, 9};
        EXPECT_FALSE(fovea::ParseAttrTime(text, time));
        EXPECT_TRUE(Same(ItemTime{1990, 5, 6, 7, 8, 9}, time));
    }
}
