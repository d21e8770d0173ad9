// The modification time as the attributes dialog shows and reads it: "yy-mm-dd hh:mm:ss" in local time, the
// two-digit year read with a pivot (70-99 are 19yy, 00-69 are 20yy).
#pragma once

#include <string>

#include "browser/ItemLine.h"

namespace fovea {

// 96-08-31 23:05:09: year modulo 100, month, day, hour, minute, second, two digits each.
std::string FormatAttrTime(const ItemTime& time);

// Reads two digits at each of the positions 0, 3, 6, 9, 12 and 15, with a non-digit between the fields and
// nothing but blanks after the last. False, and time untouched, when the text does not have that shape or names
// no real date and time (month 13, 30 February, hour 24).
bool ParseAttrTime(const std::string& text, ItemTime& time);

} // namespace fovea
