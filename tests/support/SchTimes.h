// A TSchTime written as its fields (-1 for any), for tests.
#pragma once

#include "base/SchTime.h"

namespace pendar::test {

inline TSchTime MakeTime(int year, int month, int day, int weekday, int hour, int minute, int once = 0)
{
    TSchTime t;
    t.year = static_cast<int16_t>(year);
    t.month = static_cast<int8_t>(month);
    t.day = static_cast<int8_t>(day);
    t.weekday = static_cast<int8_t>(weekday);
    t.hour = static_cast<int8_t>(hour);
    t.minute = static_cast<int8_t>(minute);
    t.once = static_cast<uint8_t>(once);
    return t;
}

} // namespace pendar::test
