#include "base/Holiday.h"
#include "base/Sjis.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TSchTime Date(const char* iso)
{
    int y = 0, m = 0, d = 0;
    std::sscanf(iso, "%d-%d-%d", &y, &m, &d);
    TSchTime t;
    TDate date{y, m, d};
    SetTime(t, &date, nullptr);
    return t;
}

struct HardDate {
    const char* date;
    const char* name; // UTF-8; "" for no holiday
};

// Dates where one rule, its start, its end or a change of the law decides.
const HardDate kHardDates[] = {
    // The law begins on 1948-07-20.
    {"1948-01-01", ""},
    {"1948-05-05", ""},
    {"1948-07-19", ""},
    {"1948-09-23", "秋分の日"},
    {"1949-05-05", "こどもの日"},
    // The Emperor's birthday, Greenery Day and Showa Day on 29 April.
    {"1988-04-29", "天皇誕生日"},
    {"1988-12-23", ""},
    {"1989-04-29", "みどりの日"},
    {"1989-12-23", "天皇誕生日"},
    {"2007-04-29", "昭和の日"},
    {"2007-05-04", "みどりの日"},
    // Substitute holidays: none before 12 April 1973, Mondays until 2006,
    // the first free day after a Sunday holiday from 2007.
    {"1973-02-12", ""},
    {"1973-04-30", "振替休日"},
    {"2008-05-06", "振替休日"},
    {"2009-05-06", "振替休日"},
    {"2018-12-24", "振替休日"},
    // In-between holidays: from 27 December 1985, never on a Sunday.
    {"1985-05-04", ""},
    {"1988-05-04", "国民の休日"},
    {"2006-05-04", "国民の休日"},
    {"2009-09-22", "国民の休日"},
    {"2032-09-21", "国民の休日"},
    {"2049-09-21", "国民の休日"},
    // Happy Monday: the fixed day until 1999, the second Monday from 2000.
    {"1999-01-15", "成人の日"},
    {"2000-01-10", "成人の日"},
    {"2000-01-15", ""},
    {"1999-10-10", "体育の日"},
    {"2000-10-09", "体育の日"},
    {"2019-10-14", "体育の日"},
    {"2022-10-10", "スポーツの日"},
    // Days given once by their own laws, and those they put between holidays.
    {"1959-04-10", "皇太子明仁親王の結婚の儀"},
    {"1989-02-24", "昭和天皇の大喪の礼"},
    {"1990-11-12", "即位礼正殿の儀"},
    {"1993-06-09", "皇太子徳仁親王の結婚の儀"},
    {"2019-04-30", "国民の休日"},
    {"2019-05-01", "天皇の即位の日"},
    {"2019-05-02", "国民の休日"},
    {"2019-10-22", "即位礼正殿の儀"},
    // The Emperor's birthday moved from December to February, none in 2019.
    {"2018-12-23", "天皇誕生日"},
    {"2019-02-23", ""},
    {"2019-12-23", ""},
    {"2020-02-23", "天皇誕生日"},
    {"2020-02-24", "振替休日"},
    // Mountain Day from 2016.
    {"2015-08-11", ""},
    {"2016-08-11", "山の日"},
    // The Olympic years: three holidays moved, their own dates working days.
    {"2020-07-20", ""},
    {"2020-07-23", "海の日"},
    {"2020-07-24", "スポーツの日"},
    {"2020-08-10", "山の日"},
    {"2020-08-11", ""},
    {"2020-10-12", ""},
    {"2021-07-19", ""},
    {"2021-07-22", "海の日"},
    {"2021-07-23", "スポーツの日"},
    {"2021-08-08", "山の日"},
    {"2021-08-09", "振替休日"},
    {"2021-08-11", ""},
    {"2021-10-11", ""},
    // Equinox days at the edges of their year ranges.
    {"1959-03-21", "春分の日"},
    {"1960-03-20", "春分の日"},
    {"1960-03-21", ""},
    {"2022-03-21", "春分の日"},
    {"2025-03-20", "春分の日"},
    {"2026-03-20", "春分の日"},
    {"2092-03-19", "春分の日"},
    {"2099-03-20", "春分の日"},
    {"2100-03-20", ""},
    {"2100-03-21", ""},
    {"1950-09-23", "秋分の日"},
    {"1950-09-24", ""},
    {"1979-09-24", "秋分の日"},
    {"1983-09-23", "秋分の日"},
    {"2011-09-23", "秋分の日"},
    {"2012-09-22", "秋分の日"},
    {"2045-09-22", "秋分の日"},
    {"2078-09-22", "秋分の日"},
    {"2099-09-23", "秋分の日"},
    {"2100-09-23", ""},
};

TEST(Holiday, NamesTheHardDates)
{
    for (const HardDate& c : kHardDates)
        EXPECT_EQ(Sjis(c.name), std::string(HolidayName(Date(c.date)))) << c.date;
}

TEST(Holiday, IndexLeavesOutSubstituteAndInBetweenDays)
{
    EXPECT_EQ(hiChildren, HolidayIndex(Date("2008-05-05")));
    EXPECT_EQ(-1, HolidayIndex(Date("2008-05-06")));
    EXPECT_EQ(-1, HolidayIndex(Date("2006-05-04")));
    EXPECT_EQ(-1, HolidayIndex(Date("1948-05-05")));
    EXPECT_EQ(Sjis("振替休日"), std::string(HolidayNameOf(hiSubstitute)));
    EXPECT_EQ(Sjis("天皇誕生日"), std::string(HolidayNameOf(hiEmperorBirthday)));
    EXPECT_TRUE(HolidayNameOf(kHolidayNameCount).empty());
    EXPECT_TRUE(HolidayNameOf(-1).empty());
}

TEST(Holiday, TheDateDecidesNotAStaleWeekdayField)
{
    TSchTime t = Date("2000-01-10");
    t.weekday = 3;
    EXPECT_EQ(hiComingOfAge, HolidayIndex(t));
    t = Date("2008-05-06");
    t.weekday = 0;
    EXPECT_EQ(Sjis("振替休日"), std::string(HolidayName(t)));
}

TEST(Holiday, ImpossibleDatesAreNoHolidays)
{
    const TSchTime bad[] = {
        {2023, 2, 29, -1, -1, -1, 0}, {2023, 13, 1, -1, -1, -1, 0}, {2023, 1, 0, -1, -1, -1, 0},
        {-1, 1, 1, -1, -1, -1, 0},    {2023, -1, 1, -1, -1, -1, 0}, {2023, 5, 32, -1, -1, -1, 0},
    };
    for (const TSchTime& t : bad) {
        EXPECT_EQ(-1, HolidayIndex(t)) << t.year << "-" << int(t.month) << "-" << int(t.day);
        EXPECT_TRUE(HolidayName(t).empty());
    }
}

} // namespace
