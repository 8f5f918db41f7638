// The eight-byte date-time pattern of schedules, of the time-sync pattern
// and of calendar dates. Every field may be "any" (-1). The settings file
// stores exactly these eight bytes.
#pragma once

#include <cstdint>

namespace port {
class IClock;
}

struct TSchTime {
    int16_t year = -1;   // above 0 when specified
    int8_t month = -1;   // 1..12
    int8_t day = -1;     // 1..31
    int8_t weekday = -1; // 0 = Sunday .. 6 = Saturday
    int8_t hour = -1;    // 0..23
    int8_t minute = -1;  // 0..59
    uint8_t once = 0;    // 1: delete the schedule once it was announced

    friend bool operator==(const TSchTime&, const TSchTime&) = default;
};
static_assert(sizeof(TSchTime) == 8, "TSchTime is stored byte for byte");

// A cleared record: every field any, once 0.
void ClearTime(TSchTime& t);

// 1 when a is later, -1 when earlier, 0 when equal in every field both
// specify. Compares year, month, weekday, day, hour, minute in that order.
int CompareTime(const TSchTime& a, const TSchTime& b);

// Chronological order of two fully specified records (year, month, day,
// hour, minute): 1, -1 or 0. Unlike CompareTime, the weekday plays no part.
int CompareChronological(const TSchTime& a, const TSchTime& b);

// True when year and every other field but the once flag are any.
bool IsEmptyTime(const TSchTime& t);

// The current local date and time, every field specified, once 0. The clock
// is read twice so that a midnight between reading the date and the time
// cannot mix two days.
TSchTime NowTime(const port::IClock& clock);
// NowTime with hour and minute any.
TSchTime TodayTime(const port::IClock& clock);

struct TDate {
    int year;
    int month;
    int day;
};
struct TTimeOfDay {
    int hour;
    int minute;
};
// Fills year, month, day from `date` (any when null), computes the weekday,
// and fills hour and minute from `time` (any when null).
void SetTime(TSchTime& t, const TDate* date, const TTimeOfDay* time);

// Weekday of t's date, or -1 when year, month or day is not above 0.
int WeekdayOf(const TSchTime& t);
int DaysInMonth(int year, int month);

// Move a record by one day (only when its day is at least 1).
void NextDay(TSchTime& t);
void PrevDay(TSchTime& t);
