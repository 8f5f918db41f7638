#include "base/SchTime.h"

#include "port/Clock.h"

void ClearTime(TSchTime& t)
{
    t = TSchTime{};
}

namespace {

// -1, 0 or 1 for a field that both records specify; 0 otherwise.
int CompareField(int a, int b, bool specified)
{
    if (!specified || a == b)
        return 0;
    return a > b ? 1 : -1;
}

} // namespace

int CompareTime(const TSchTime& a, const TSchTime& b)
{
    int r;
    if ((r = CompareField(a.year, b.year, a.year > 0 && b.year > 0)))
        return r;
    if ((r = CompareField(a.month, b.month, a.month > 0 && b.month > 0)))
        return r;
    if ((r = CompareField(a.weekday, b.weekday, a.weekday >= 0 && b.weekday >= 0)))
        return r;
    if ((r = CompareField(a.day, b.day, a.day > 0 && b.day > 0)))
        return r;
    if ((r = CompareField(a.hour, b.hour, a.hour >= 0 && b.hour >= 0)))
        return r;
    return CompareField(a.minute, b.minute, a.minute >= 0 && b.minute >= 0);
}

int CompareChronological(const TSchTime& a, const TSchTime& b)
{
    const int fa[] = {a.year, a.month, a.day, a.hour, a.minute};
    const int fb[] = {b.year, b.month, b.day, b.hour, b.minute};
    for (int i = 0; i < 5; ++i)
        if (fa[i] != fb[i])
            return fa[i] > fb[i] ? 1 : -1;
    return 0;
}

bool IsEmptyTime(const TSchTime& t)
{
    return t.year < 0 && t.month < 0 && t.weekday < 0 && t.day < 0 && t.hour < 0 && t.minute < 0;
}

TSchTime NowTime(const port::IClock& clock)
{
    port::LocalTime date1 = clock.Now();
    port::LocalTime time1 = clock.Now();
    port::LocalTime date2 = clock.Now();
    port::LocalTime time2 = clock.Now();
    const port::LocalTime& date = date1.day == date2.day ? date1 : date2;
    const port::LocalTime& time = date1.day == date2.day ? time1 : time2;
    TSchTime t;
    TDate d{date.year, date.month, date.day};
    TTimeOfDay tod{time.hour, time.minute};
    SetTime(t, &d, &tod);
    return t;
}

TSchTime TodayTime(const port::IClock& clock)
{
    TSchTime t = NowTime(clock);
    t.hour = -1;
    t.minute = -1;
    return t;
}

void SetTime(TSchTime& t, const TDate* date, const TTimeOfDay* time)
{
    if (date) {
        t.year = static_cast<int16_t>(date->year);
        t.month = static_cast<int8_t>(date->month);
        t.day = static_cast<int8_t>(date->day);
    } else {
        t.year = -1;
        t.month = -1;
        t.day = -1;
    }
    t.weekday = static_cast<int8_t>(WeekdayOf(t));
    if (time) {
        t.hour = static_cast<int8_t>(time->hour);
        t.minute = static_cast<int8_t>(time->minute);
    } else {
        t.hour = -1;
        t.minute = -1;
    }
}

int DaysInMonth(int year, int month)
{
    switch (month) {
    case 2:
        return (year % 400 == 0 || (year % 4 == 0 && year % 100 != 0)) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

int WeekdayOf(const TSchTime& t)
{
    if (t.year <= 0 || t.month <= 0 || t.day <= 0)
        return -1;
    int64_t y = t.year;
    int64_t n = y * 365 + (y - 1) / 4 + (y - 1) / 400 - (y - 1) / 100 - 365;
    for (int k = 1; k < t.month && k <= 12; ++k)
        n += DaysInMonth(t.year, k);
    n += t.day;
    return static_cast<int>(n % 7);
}

void NextDay(TSchTime& t)
{
    if (t.day < 1)
        return;
    int day = t.day + 1;
    int month = t.month;
    int year = t.year;
    if (day > DaysInMonth(year, month)) {
        day = 1;
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    t.year = static_cast<int16_t>(year);
    t.month = static_cast<int8_t>(month);
    t.day = static_cast<int8_t>(day);
    t.weekday = static_cast<int8_t>(WeekdayOf(t));
}

void PrevDay(TSchTime& t)
{
    if (t.day < 1)
        return;
    int day = t.day - 1;
    int month = t.month;
    int year = t.year;
    if (day < 1) {
        if (--month < 1) {
            month = 12;
            --year;
        }
        day = DaysInMonth(year, month);
    }
    t.year = static_cast<int16_t>(year);
    t.month = static_cast<int8_t>(month);
    t.day = static_cast<int8_t>(day);
    t.weekday = static_cast<int8_t>(WeekdayOf(t));
}
