// Setting the clock from the SNTP client, with a scripted client and a
// recording clock setter: the log line of each outcome, and when the tick
// synchronises.
#include "DriverForm.h"

#include "base/Sjis.h"

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;
using Lines = std::vector<std::string>;

struct TimeFixture : DriverFixture {
    explicit TimeFixture(Clients kind = Clients::Fake) : DriverFixture(kind)
    {
        form->Settings().ntpServer = "ntp.example";
    }
};

TEST(TimeSync, SetsTheClockByTheOffsetAndLogsIt)
{
    struct Case {
        int64_t offset;
        const char* shown;
    } cases[] = {
        {1500000000, "1.50"}, {-300000000, "-0.30"}, {100000000000, "100.00"}, {4000000, "0.00"}, {-1, "0.00"},
    };
    for (const Case& c : cases) {
        TimeFixture f;
        f.form->sntp->answer.offsetNanos = c.offset;
        int64_t now = f.world.clock.UnixNanos();

        f.form->MITimeSyncClick();

        EXPECT_EQ(f.form->sntp->asked, (Lines{"ntp.example:123 5000"}));
        EXPECT_EQ(f.world.clockSetter.calls, (std::vector<int64_t>{now + c.offset})) << c.shown;
        EXPECT_EQ(f.Log(), (Lines{"0 NTP ntp.example" + Sjis(" 時刻設定(誤差") + c.shown + Sjis("秒)")}));
        EXPECT_TRUE(f.Balloon().empty());
        EXPECT_EQ(f.form->NtpRetryCountdown(), 5);
    }
}

TEST(TimeSync, FailuresAreToldAndTheClockKept)
{
    struct Case {
        const char* name;
        Clients clients;
        bool answers;
        const char* refusal;
        Lines balloon;
        Lines log;
        size_t sets;
    } cases[] = {
        {"no answer", Clients::Fake, false, "", {"~" + Sjis("時刻取得失敗")},
         {"255 NTP ntp.example" + Sjis(" 時刻取得失敗")}, 0},
        {"the system refuses the clock", Clients::Fake, true, "Operation not permitted", {},
         {"255 NTP ntp.example" + Sjis(" 時刻設定失敗(") + "Operation not permitted)"}, 1},
        {"no client", Clients::None, true, "", {"~" + Sjis("SNTPの準備に失敗しています。")}, {"255 NTP Init Error "},
         0},
    };
    for (const Case& c : cases) {
        TimeFixture f(c.clients);
        if (f.form->sntp)
            f.form->sntp->answers = c.answers;
        f.world.clockSetter.refuse = c.refusal;

        f.form->MITimeSyncClick();

        EXPECT_EQ(f.Balloon(), c.balloon) << c.name;
        EXPECT_EQ(f.Log(), c.log) << c.name;
        EXPECT_EQ(f.world.clockSetter.calls.size(), c.sets) << c.name;
        EXPECT_EQ(f.form->NtpRetryCountdown(), 5) << c.name;
    }
}

// Minute by minute from 3:58 to 5:01 on a Sunday: the minutes at which the
// tick synchronises.
TEST(TimeSync, TheTickFollowsThePatternAndTheRetryCountdown)
{
    auto pattern = [](int weekday, int hour, int minute) {
        TSchTime t;
        t.weekday = static_cast<int8_t>(weekday);
        t.hour = static_cast<int8_t>(hour);
        t.minute = static_cast<int8_t>(minute);
        return t;
    };
    struct Case {
        const char* name;
        TSchTime ntpTime;
        bool timeEnable;
        Lines minutes;
    } cases[] = {
        {"Sundays at 4, any minute", pattern(0, 4, -1), true,
         {"4:00", "4:05", "4:10", "4:15", "4:20", "4:25", "4:30", "4:35", "4:40", "4:45", "4:50", "4:55"}},
        {"Sundays at 4:30", pattern(0, 4, 30), true, {"4:30"}},
        {"Mondays at 4", pattern(1, 4, -1), true, {}},
        {"empty pattern", TSchTime{}, true, {}},
        {"TimeEnable off", pattern(0, 4, -1), false, {}},
    };
    for (const Case& c : cases) {
        TimeFixture f;
        f.form->Settings().ntpTime = c.ntpTime;
        f.form->Settings().timeEnable = c.timeEnable;
        Lines synced;
        for (int m = 3 * 60 + 58; m <= 5 * 60 + 1; ++m) {
            f.world.clock.Set(2024, 6, 9, m / 60, m % 60, 30);
            size_t before = f.form->sntp->asked.size();
            f.form->CheckTimerTimer();
            if (f.form->sntp->asked.size() != before)
                synced.push_back(std::to_string(m / 60) + ":" + (m % 60 < 10 ? "0" : "") + std::to_string(m % 60));
        }
        EXPECT_EQ(synced, c.minutes) << c.name;
    }
}

// The way the clock is set is the setter's to find; each way ends in one
// log line (with the reason when the clock was not set), the usual line
// only when it really was, and the time service may ask the user only for
// the menu's sync.
TEST(TimeSync, EachWayOfSettingTheClockEndsInOneLogLine)
{
    using port::ClockWay;
    const std::string measured = Sjis("(誤差1.50秒)");
    struct Case {
        const char* name;
        ClockWay way;
        bool byUser;
        const char* refusal; // the setter's (or, for None, the way's) reason
        Lines log;
        Lines balloon;
        std::vector<bool> asked; // interactive, per setting asked for
    } cases[] = {
        {"the system synchronises, menu", ClockWay::LeftToSystem, true, "",
         {"0 NTP ntp.example" + Sjis(" 時刻はシステムが合わせています") + measured},
         {"~" + Sjis("時刻はシステムが自動で合わせています") + measured}, {}},
        {"the system synchronises, schedule", ClockWay::LeftToSystem, false, "",
         {"0 NTP ntp.example" + Sjis(" 時刻はシステムが合わせています") + measured}, {}, {}},
        {"directly", ClockWay::Direct, false, "", {"0 NTP ntp.example" + Sjis(" 時刻設定") + measured}, {}, {false}},
        {"time service, menu", ClockWay::TimeService, true, "",
         {"0 NTP ntp.example" + Sjis(" 時刻設定") + measured}, {}, {true}},
        {"time service, schedule", ClockWay::TimeService, false, "",
         {"0 NTP ntp.example" + Sjis(" 時刻設定") + measured}, {}, {false}},
        {"time service refuses", ClockWay::TimeService, true, "org.freedesktop.DBus.Error.AccessDenied: no",
         {"255 NTP ntp.example" + Sjis(" 時刻設定失敗(") + "org.freedesktop.DBus.Error.AccessDenied: no)"}, {},
         {true}},
        {"no way", ClockWay::None, true, "no permission to set the clock and no time service",
         {"255 NTP ntp.example" + Sjis(" 時刻設定失敗(") + "no permission to set the clock and no time service)"}, {},
         {}},
    };
    for (const Case& c : cases) {
        TimeFixture f;
        f.form->sntp->answer.offsetNanos = 1500000000;
        f.world.clockSetter.way = c.way;
        if (c.way == ClockWay::None)
            f.world.clockSetter.noWay = c.refusal;
        else
            f.world.clockSetter.refuse = c.refusal;
        int64_t now = f.world.clock.UnixNanos();

        bool fine = f.form->SyncTime(c.byUser);

        EXPECT_EQ(f.Log(), c.log) << c.name;
        EXPECT_EQ(f.Balloon(), c.balloon) << c.name;
        EXPECT_EQ(f.world.clockSetter.asked, c.asked) << c.name;
        for (int64_t set : f.world.clockSetter.calls)
            EXPECT_EQ(now + 1500000000, set) << c.name;
        EXPECT_EQ(c.log[0][0] == '0', fine) << c.name;
    }
}

} // namespace
