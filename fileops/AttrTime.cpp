// Formatting and reading the time text of the attributes dialog.
#include "fileops/AttrTime.h"

#include <cstdio>

namespace fovea {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

} // namespace

std::string FormatAttrTime(const ItemTime& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d %02d:%02d:%02d", ((time.year % 100) + 100) % 100, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

bool ParseAttrTime(const std::string& text, ItemTime& time)
{
    constexpr size_t kFields = 6;
    constexpr size_t kLength = 3 * kFields - 1;
    if (text.size() < kLength)
        return false;
    for (size_t i = kLength; i < text.size(); ++i)
        if (text[i] != ' ')
            return false;
    int values[kFields];
    for (size_t f = 0; f < kFields; ++f) {
        size_t at = 3 * f;
        if (!IsDigit(text[at]) || !IsDigit(text[at + 1]) || (f + 1 < kFields && IsDigit(text[at + 2])))
            return false;
        values[f] = (text[at] - '0') * 10 + (text[at + 1] - '0');
    }
    ItemTime read;
    read.year = values[0] + (values[0] >= 70 ? 1900 : 2000);
    read.month = values[1];
    read.day = values[2];
    read.hour = values[3];
    read.minute = values[4];
    read.second = values[5];
    if (read.month < 1 || read.month > 12 || read.day < 1 || read.day > DaysInMonth(read.year, read.month) ||
        read.hour > 23 || read.minute > 59 || read.second > 59)
        return false;
    time = read;
    return true;
}

} // namespace fovea
