#include "base/Holiday.h"

#include "base/Sjis.h"

#include <array>
#include <string>

namespace {

// The holiday law took effect on this day.
constexpr int kLawStart = 19480720;

constexpr int DateKey(int year, int month, int day)
{
    return year * 10000 + month * 100 + day;
}

bool IsValidDate(const TSchTime& t)
{
    return t.year > 0 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= DaysInMonth(t.year, t.month);
}

// The n-th Monday of its month: (day + 6) div 7 counts the Mondays so far.
bool IsNthMonday(int day, int weekday, int n)
{
    return weekday == 1 && (day + 6) / 7 == n;
}

// Equinox day of the month by year range, chosen by year mod 4.
struct EquinoxRange {
    int lastYear;
    int day[4];
};

int EquinoxDay(const EquinoxRange* ranges, int count, int year)
{
    for (int i = 0; i < count; ++i)
        if (year <= ranges[i].lastYear)
            return ranges[i].day[year % 4];
    return 0;
}

constexpr EquinoxRange kVernal[] = {
    {1959, {21, 21, 21, 21}}, {1992, {20, 21, 21, 21}}, {2025, {20, 20, 21, 21}},
    {2058, {20, 20, 20, 21}}, {2091, {20, 20, 20, 20}}, {2099, {19, 20, 20, 20}},
};
constexpr EquinoxRange kAutumnal[] = {
    {1949, {23, 23, 24, 24}}, {1982, {23, 23, 23, 24}}, {2011, {23, 23, 23, 23}},
    {2044, {22, 23, 23, 23}}, {2077, {22, 22, 23, 23}}, {2099, {22, 22, 22, 23}},
};

// Holidays given once by their own laws.
struct FixedHoliday {
    int date;
    int index;
};
constexpr FixedHoliday kOneOff[] = {
    {DateKey(1959, 4, 10), hiAkihitoWedding}, {DateKey(1989, 2, 24), hiShowaFuneral},
    {DateKey(1990, 11, 12), hiEnthronement},  {DateKey(1993, 6, 9), hiNaruhitoWedding},
    {DateKey(2019, 5, 1), hiAccession},       {DateKey(2019, 10, 22), hiEnthronement},
};
// The Olympic years moved three holidays; their regular dates were then
// working days.
constexpr FixedHoliday kMoved[] = {
    {DateKey(2020, 7, 23), hiMarine}, {DateKey(2020, 7, 24), hiSports}, {DateKey(2020, 8, 10), hiMountain},
    {DateKey(2021, 7, 22), hiMarine}, {DateKey(2021, 7, 23), hiSports}, {DateKey(2021, 8, 8), hiMountain},
};
bool HolidaysMoved(int year)
{
    return year == 2020 || year == 2021;
}

int RegularHoliday(int y, int m, int d, int wd)
{
    switch (m) {
    case 1:
        if (d == 1)
            return hiNewYear;
        if (y < 2000 ? d == 15 : IsNthMonday(d, wd, 2))
            return hiComingOfAge;
        break;
    case 2:
        if (d == 11 && y >= 1967)
            return hiFoundation;
        if (d == 23 && y >= 2020)
            return hiEmperorBirthday;
        break;
    case 3:
        if (d >= 19 && d <= 21 && d == VernalEquinoxDay(y))
            return hiVernalEquinox;
        break;
    case 4:
        if (d == 29)
            return y < 1989 ? hiEmperorBirthday : y <= 2006 ? hiGreenery : hiShowa;
        break;
    case 5:
        if (d == 3)
            return hiConstitution;
        if (d == 4 && y >= 2007)
            return hiGreenery;
        if (d == 5)
            return hiChildren;
        break;
    case 7:
        if (!HolidaysMoved(y) && ((y >= 1996 && y <= 2002 && d == 20) || (y >= 2003 && IsNthMonday(d, wd, 3))))
            return hiMarine;
        break;
    case 8:
        if (d == 11 && y >= 2016 && !HolidaysMoved(y))
            return hiMountain;
        break;
    case 9:
        if ((y >= 1966 && y <= 2002 && d == 15) || (y >= 2003 && IsNthMonday(d, wd, 3)))
            return hiRespectAged;
        if (d >= 22 && d <= 24 && d == AutumnalEquinoxDay(y))
            return hiAutumnalEquinox;
        break;
    case 10:
        if (y >= 1966 && y <= 1999 && d == 10)
            return hiHealthSports;
        if (y >= 2000 && !HolidaysMoved(y) && IsNthMonday(d, wd, 2))
            return y < 2020 ? hiHealthSports : hiSports;
        break;
    case 11:
        if (d == 3)
            return hiCulture;
        if (d == 23)
            return hiLabourThanks;
        break;
    case 12:
        if (d == 23 && y >= 1989 && y <= 2018)
            return hiEmperorBirthday;
        break;
    }
    return -1;
}

bool IsNamedHoliday(const TSchTime& t)
{
    return HolidayIndex(t) >= hiNewYear;
}

TSchTime Neighbour(TSchTime t, int step)
{
    step > 0 ? NextDay(t) : PrevDay(t);
    return t;
}

bool BetweenHolidays(const TSchTime& t)
{
    return IsNamedHoliday(Neighbour(t, -1)) && IsNamedHoliday(Neighbour(t, 1));
}

// Rule of 2007: the first day after a run of holidays that holds a Sunday.
// A run is at most a week long (no seven holidays follow each other).
bool EndsSundayHolidayRun(TSchTime t)
{
    for (int i = 0; i < 7; ++i) {
        PrevDay(t);
        if (!IsNamedHoliday(t))
            return false;
        if (t.weekday == 0)
            return true;
    }
    return false;
}

} // namespace

int VernalEquinoxDay(int year)
{
    return EquinoxDay(kVernal, static_cast<int>(std::size(kVernal)), year);
}

int AutumnalEquinoxDay(int year)
{
    return EquinoxDay(kAutumnal, static_cast<int>(std::size(kAutumnal)), year);
}

int HolidayIndex(const TSchTime& date)
{
    if (!IsValidDate(date))
        return -1;
    int key = DateKey(date.year, date.month, date.day);
    if (key < kLawStart)
        return -1;
    for (const FixedHoliday& h : kOneOff)
        if (h.date == key)
            return h.index;
    for (const FixedHoliday& h : kMoved)
        if (h.date == key)
            return h.index;
    return RegularHoliday(date.year, date.month, date.day, WeekdayOf(date));
}

std::string_view HolidayName(const TSchTime& date)
{
    if (!IsValidDate(date))
        return {};
    TSchTime t = date;
    t.weekday = static_cast<int8_t>(WeekdayOf(t));
    int key = DateKey(t.year, t.month, t.day);
    if (key < kLawStart)
        return {};
    int index = HolidayIndex(t);
    if (index >= hiNewYear)
        return HolidayNameOf(index);
    if (t.year <= 2006) {
        // Rules of 1973 and 1985.
        if (key >= DateKey(1973, 4, 12) && t.weekday == 1 && IsNamedHoliday(Neighbour(t, -1)))
            return HolidayNameOf(hiSubstitute);
        if (key >= DateKey(1985, 12, 27) && t.weekday != 0 && BetweenHolidays(t))
            return HolidayNameOf(hiBetween);
        return {};
    }
    if (t.weekday != 0 && EndsSundayHolidayRun(t))
        return HolidayNameOf(hiSubstitute);
    if (t.weekday != 0 && BetweenHolidays(t))
        return HolidayNameOf(hiBetween);
    return {};
}

std::string_view HolidayNameOf(int index)
{
    static const std::array<std::string, kHolidayNameCount> names = [] {
        const char* utf8[kHolidayNameCount] = {
            "振替休日", "国民の休日", "元日", "成人の日", "建国記念の日", "春分の日", "昭和の日", "憲法記念日",
            "みどりの日", "こどもの日", "海の日", "敬老の日", "秋分の日", "体育の日", "文化の日",
            "勤労感謝の日", "天皇誕生日", "山の日", "スポーツの日", "皇太子明仁親王の結婚の儀",
            "昭和天皇の大喪の礼", "即位礼正殿の儀", "皇太子徳仁親王の結婚の儀", "天皇の即位の日",
        };
        std::array<std::string, kHolidayNameCount> a;
        for (int i = 0; i < kHolidayNameCount; ++i)
            a[i] = Sjis(utf8[i]);
        return a;
    }();
    if (index < 0 || index >= kHolidayNameCount)
        return {};
    return names[index];
}
