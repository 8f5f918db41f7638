#include "base/SchTime.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TSchTime Make(int y, int mo, int d, int h, int mi)
{
    TSchTime t;
    TDate date{y, mo, d};
    TTimeOfDay tod{h, mi};
    SetTime(t, y < 0 ? nullptr : &date, h < 0 ? nullptr : &tod);
    return t;
}

TEST(SchTime, LayoutIsTheStoredBytes)
{
    TSchTime t;
    t.year = -1;
    t.month = -1;
    t.day = -1;
    t.weekday = 6;
    t.hour = 18;
    t.minute = 30;
    unsigned char bytes[8];
    std::memcpy(bytes, &t, 8);
    const unsigned char expected[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0x06, 0x12, 0x1E, 0x00};
    EXPECT_EQ(0, std::memcmp(expected, bytes, 8));
}

TEST(SchTime, WeekdayOfKnownDates)
{
    struct Case {
        int y, m, d, weekday;
    } cases[] = {
        {2026, 12, 10, 4}, {2000, 1, 1, 6}, {2000, 2, 29, 2}, {1900, 3, 1, 4}, {2024, 3, 10, 0}, {1, 1, 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.weekday, WeekdayOf(Make(c.y, c.m, c.d, -1, -1))) << c.y << "-" << c.m << "-" << c.d;
    TSchTime any;
    EXPECT_EQ(-1, WeekdayOf(any));
}

TEST(SchTime, DaysInMonth)
{
    EXPECT_EQ(29, DaysInMonth(2000, 2));
    EXPECT_EQ(28, DaysInMonth(1900, 2));
    EXPECT_EQ(29, DaysInMonth(2024, 2));
    EXPECT_EQ(30, DaysInMonth(2024, 4));
    EXPECT_EQ(31, DaysInMonth(2024, 12));
}

TEST(SchTime, CompareTimeComparesWhatBothSpecify)
{
    TSchTime now = Make(2024, 6, 15, 12, 0);
    TSchTime noon;
    noon.hour = 12;
    noon.minute = 0;
    EXPECT_EQ(0, CompareTime(now, noon));
    TSchTime monday15;
    monday15.weekday = 1;
    monday15.day = 15;
    EXPECT_NE(0, CompareTime(now, monday15)); // 2024-06-15 is a Saturday
    EXPECT_EQ(0, CompareTime(Make(2024, 4, 15, 9, 0), monday15));
    TSchTime year0 = noon;
    year0.year = 0; // a year of 0 counts as unspecified
    EXPECT_EQ(0, CompareTime(now, year0));
    EXPECT_EQ(1, CompareTime(Make(2024, 6, 15, 12, 1), now));
    EXPECT_EQ(-1, CompareTime(now, Make(2024, 6, 15, 12, 1)));
    // The weekday is compared before the day: Sunday the 2nd is "earlier"
    // than Saturday the 1st.
    EXPECT_EQ(-1, CompareTime(Make(2024, 6, 2, 0, 0), Make(2024, 6, 1, 23, 59)));
    EXPECT_EQ(1, CompareChronological(Make(2024, 6, 2, 0, 0), Make(2024, 6, 1, 23, 59)));
}

TEST(SchTime, IsEmptyIgnoresTheOnceFlag)
{
    TSchTime t;
    EXPECT_TRUE(IsEmptyTime(t));
    t.once = 1;
    EXPECT_TRUE(IsEmptyTime(t));
    t.minute = 0;
    EXPECT_FALSE(IsEmptyTime(t));
}

TEST(SchTime, NextAndPrevDayCrossMonthsAndYears)
{
    TSchTime t = Make(2023, 12, 31, 10, 5);
    NextDay(t);
    EXPECT_EQ(Make(2024, 1, 1, 10, 5), t);
    PrevDay(t);
    EXPECT_EQ(Make(2023, 12, 31, 10, 5), t);
    TSchTime leap = Make(2024, 3, 1, -1, -1);
    PrevDay(leap);
    EXPECT_EQ(29, leap.day);
    EXPECT_EQ(2, leap.month);
    EXPECT_EQ(4, leap.weekday);
    TSchTime any;
    NextDay(any);
    EXPECT_TRUE(IsEmptyTime(any));
}

// Reads date, time, date, time: a midnight between them must not mix days.
class MidnightClock final : public port::IClock {
public:
    int64_t UnixNanos() const override { return 0; }
    port::LocalTime Now() const override
    {
        port::LocalTime before{2024, 6, 1, 6, 23, 59, 59, 999};
        port::LocalTime after{2024, 6, 2, 0, 0, 0, 0, 0};
        return reads_++ < 2 ? before : after;
    }

private:
    mutable int reads_ = 0;
};

TEST(SchTime, NowTimeUsesOneDayConsistently)
{
    MidnightClock clock;
    TSchTime t = NowTime(clock);
    EXPECT_EQ(Make(2024, 6, 2, 0, 0), t);

    pendar::test::FakeClock fake;
    fake.Set(2026, 12, 10, 9, 5, 30);
    TSchTime now = NowTime(fake);
    EXPECT_EQ(Make(2026, 12, 10, 9, 5), now);
    EXPECT_EQ(0, now.once);
    TSchTime today = TodayTime(fake);
    EXPECT_EQ(-1, today.hour);
    EXPECT_EQ(-1, today.minute);
    EXPECT_EQ(4, today.weekday);
}

} // namespace
