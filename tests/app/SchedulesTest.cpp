// The real schedule check, driven through the tick of a form that keeps it.
#include "FakeMailCheck.h"

#include "app/MainForm.h"
#include "app/ScheduleText.h"
#include "base/Sjis.h"
#include "support/RecordingServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using pendar::test::RecordingWorld;
using pendar::test::TempDir;

// Everything real but the voice and the z-order, which only record, and the
// mail check, which would speak in the balloon too.
class ScheduleForm : public TMainForm {
public:
    explicit ScheduleForm(Services services) : TMainForm(WithoutMail(std::move(services))) {}
    std::vector<std::string> calls;

protected:
    void PlaySkinWave(const std::string& name) override { calls.push_back("Play " + name); }
    void BringToFront() override { calls.push_back("BringToFront"); }

private:
    static Services WithoutMail(Services services)
    {
        services.makeMailCheck = [](pendar::IMailCheckHost&) { return std::make_unique<pendar::test::FakeMailCheck>(); };
        return services;
    }
};

TSchTime Pattern(int year, int month, int day, int weekday, int hour, int minute, int once = 0)
{
    return {static_cast<int16_t>(year),   static_cast<int8_t>(month), static_cast<int8_t>(day),
            static_cast<int8_t>(weekday), static_cast<int8_t>(hour),  static_cast<int8_t>(minute),
            static_cast<uint8_t>(once)};
}

struct ScheduleFixture {
    RecordingWorld world;
    TempDir dir;
    std::unique_ptr<ScheduleForm> form;

    // A form whose clock stands at the given minute (second 30).
    void StartAt(int y, int mo, int d, int h, int mi)
    {
        world.clock.Set(y, mo, d, h, mi, 30);
        form = std::make_unique<ScheduleForm>(world.Services(dir.File("Pendar.ini")));
        form->Settings().schedules = {};
    }
    void Add(int slot, const char* name, const TSchTime& pattern)
    {
        form->Settings().schedules[static_cast<size_t>(slot)].name = name;
        form->Settings().schedules[static_cast<size_t>(slot)].time = pattern;
    }
    // One tick at that minute.
    void TickAt(int y, int mo, int d, int h, int mi)
    {
        world.clock.Set(y, mo, d, h, mi, 30);
        form->CheckTimerTimer();
    }
    size_t Announcements() const { return world.messages.committed.size(); }
};

TEST(ExpandSchName, FillsTheNameIntoTheTemplate)
{
    struct Case {
        const char* tmpl;
        const char* name;
        const char* expected;
    } cases[] = {
        {"$SCHNAME$\nの時間になりました。", "会議", "会議\nの時間になりました。"},
        {"$SCHNAME$ and $SCHNAME$", "A", "A and A"},
        {"no placeholder", "A", "no placeholder"},
        {"$SCHNAME$", "", ""},
        {"<$SCHNAME$>", "x$SCHNAME$y", "<$SCHNAME$>"}, // the name holds the placeholder
        {"$SCHNAME", "A", "$SCHNAME"},
        // Text that only becomes a placeholder with the name around it stays:
        // searching the inserted name again would never end here.
        {"$$SCHNAME$", "SCHNAME$$SCHNAME", "$SCHNAME$$SCHNAME"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sjis(c.expected), ExpandSchName(Sjis(c.tmpl), Sjis(c.name))) << c.tmpl << " / " << c.name;
}

TEST(Schedules, MatchOncePerMatchingStretch)
{
    struct Step {
        int y, mo, d, h, mi;
        bool announced;
    };
    struct Case {
        const char* what;
        TSchTime pattern;
        std::vector<Step> steps;
    } cases[] = {
        {"every day at 12:00",
         Pattern(-1, -1, -1, -1, 12, 0),
         {{2024, 6, 14, 11, 59, false}, {2024, 6, 14, 12, 0, true}, {2024, 6, 14, 12, 1, false},
          {2024, 6, 15, 12, 0, true}}},
        {"15 June all day: at midnight, once",
         Pattern(-1, 6, 15, -1, -1, -1),
         {{2024, 6, 14, 23, 59, false}, {2024, 6, 15, 0, 0, true}, {2024, 6, 15, 0, 1, false},
          {2024, 6, 15, 23, 59, false}, {2024, 6, 16, 0, 0, false}}},
        {"nine o'clock, any minute: the first check in that hour",
         Pattern(-1, -1, -1, -1, 9, -1),
         {{2024, 6, 14, 9, 30, true}, {2024, 6, 14, 9, 59, false}, {2024, 6, 14, 10, 0, false},
          {2024, 6, 15, 9, 0, true}}},
        {"half past every hour",
         Pattern(-1, -1, -1, -1, -1, 30),
         {{2024, 6, 14, 10, 29, false}, {2024, 6, 14, 10, 30, true}, {2024, 6, 14, 10, 31, false},
          {2024, 6, 14, 11, 30, true}}},
        {"Mondays that are the 15th",
         Pattern(-1, -1, 15, 1, -1, -1),
         {{2024, 1, 15, 10, 0, true}, {2024, 2, 15, 10, 0, false}, {2024, 4, 14, 10, 0, false},
          {2024, 4, 15, 10, 0, true}}},
        {"year 0 counts as any year",
         Pattern(0, 6, 15, -1, 12, 0),
         {{2024, 6, 15, 11, 59, false}, {2024, 6, 15, 12, 0, true}, {2024, 6, 15, 12, 1, false},
          {2025, 6, 15, 12, 0, true}}},
        {"a given year only",
         Pattern(2025, 6, 15, -1, 12, 0),
         {{2024, 6, 15, 12, 0, false}, {2024, 6, 15, 12, 1, false}, {2025, 6, 15, 12, 0, true}}},
    };
    for (const Case& c : cases) {
        ScheduleFixture f;
        f.StartAt(2024, 1, 1, 0, 0);
        f.Add(3, "s", c.pattern);
        for (const Step& s : c.steps) {
            size_t before = f.Announcements();
            f.TickAt(s.y, s.mo, s.d, s.h, s.mi);
            EXPECT_EQ(s.announced, f.Announcements() == before + 1)
                << c.what << " at " << s.y << "-" << s.mo << "-" << s.d << " " << s.h << ":" << s.mi;
        }
    }
}

TEST(Schedules, AllDaySchedulesAreAnnouncedAtStartup)
{
    ScheduleFixture f;
    f.StartAt(2024, 6, 15, 14, 20);
    f.Add(0, "Birthday", Pattern(-1, 6, 15, -1, -1, -1));
    f.form->StartupWork();
    ASSERT_EQ(2u, f.Announcements()); // the greeting, then the schedule
    EXPECT_EQ(Sjis("今日は\nBirthday\nの日です。"), f.world.messages.committed[1].segments.at(0));
    f.TickAt(2024, 6, 15, 14, 21);
    EXPECT_EQ(2u, f.Announcements());
}

TEST(Schedules, OneMinuteMakesOneMessageOneFlashAndOneVoice)
{
    ScheduleFixture f;
    f.StartAt(2024, 6, 14, 11, 59);
    f.form->SkinInfo().schWav = "sch.wav";
    f.Add(2, "Lunch", Pattern(-1, -1, -1, -1, 12, 0));
    f.Add(7, "Today", Pattern(2024, 6, 14, -1, -1, -1));
    f.Add(9, "Later", Pattern(-1, -1, -1, -1, 13, 0));
    f.world.view.visible = false;
    f.TickAt(2024, 6, 14, 12, 0);

    ASSERT_EQ(1u, f.Announcements());
    const auto& message = f.world.messages.committed[0];
    EXPECT_FALSE(message.transient);
    EXPECT_EQ((std::vector<std::string>{Sjis("Lunch\nの時間になりました。"), Sjis("今日は\nToday\nの日です。")}),
              message.segments);
    ASSERT_EQ(2u, f.world.log.lines.size());
    EXPECT_EQ("Schdule Lunch", f.world.log.lines[0].text);
    EXPECT_EQ("Schdule Today", f.world.log.lines[1].text);
    EXPECT_EQ(0, f.world.log.lines[0].colour);
    EXPECT_EQ(1, std::count(f.form->calls.begin(), f.form->calls.end(), "Play sch.wav"));
    // Active: the hidden window is restored and brought to the front.
    EXPECT_TRUE(f.world.view.visible);
    EXPECT_EQ("BringToFront", f.form->calls.back());
    EXPECT_TRUE(f.form->SysMenu().Entry("MISysMin").enabled);
}

TEST(Schedules, FlashVoiceAndFrontFollowTheSettings)
{
    ScheduleFixture f;
    f.StartAt(2024, 6, 14, 11, 59);
    f.form->SkinInfo().schWav = "sch.wav";
    f.form->Settings().waveFlag = false;
    f.form->Settings().active = false;
    f.Add(0, "Lunch", Pattern(-1, -1, -1, -1, 12, 0));
    f.TickAt(2024, 6, 14, 12, 0);
    EXPECT_EQ(1u, f.Announcements());
    EXPECT_TRUE(f.form->calls.empty());
    EXPECT_EQ(TMainForm::kFlashTicks - 1, f.form->FlashCount()); // set, then one tick of flashing

    // Switched off from the menu, nothing is checked.
    f.form->SysMenu().Click("MIScheduleSw");
    f.TickAt(2024, 6, 15, 12, 0);
    EXPECT_EQ(1u, f.Announcements());
}

TEST(Schedules, AOnceScheduleIsRemovedFromTheTableAndTheFileAtOnce)
{
    ScheduleFixture f;
    f.StartAt(2024, 6, 14, 11, 59);
    f.Add(4, "Dentist", Pattern(2024, 6, 14, -1, 12, 0, 1));
    f.Add(5, "Keep", Pattern(-1, -1, -1, -1, 18, 0));
    ASSERT_TRUE(f.form->SaveSettings());
    ASSERT_NE(std::string::npos, f.dir.Read("Pendar.ini").find("SchName004=Dentist"));

    f.TickAt(2024, 6, 14, 12, 0);
    EXPECT_EQ(1u, f.Announcements());
    EXPECT_EQ("Schdule Dentist", f.world.log.lines.at(0).text);
    const TSchedule& gone = f.form->Settings().schedules[4];
    EXPECT_EQ("", gone.name);
    EXPECT_TRUE(IsEmptyTime(gone.time));

    TAppSettings stored;
    ASSERT_TRUE(LoadSettingsFile(f.dir.File("Pendar.ini"), stored));
    EXPECT_TRUE(IsEmptyTime(stored.schedules[4].time));
    EXPECT_EQ(std::string::npos, f.dir.Read("Pendar.ini").find("SchName004"));
    EXPECT_EQ("Keep", stored.schedules[5].name);
}

TEST(Schedules, OnlyPatternsWithoutHourAndMinuteSayToday)
{
    struct Case {
        TSchTime pattern;
        const char* expected;
    } cases[] = {
        {Pattern(2024, 6, 14, -1, -1, -1), "今日は\nX\nの日です。"},
        {Pattern(-1, -1, -1, -1, 12, -1), "X\nの時間になりました。"},
        {Pattern(-1, -1, -1, -1, -1, 0), "X\nの時間になりました。"},
        {Pattern(-1, -1, -1, -1, -1, 30), "X\nの時間になりました。"},
    };
    for (const Case& c : cases) {
        ScheduleFixture f;
        f.StartAt(2024, 6, 14, c.pattern.minute == 0 ? 13 : 12, c.pattern.minute == 0 ? 0 : 30);
        f.Add(0, "X", c.pattern);
        f.form->StartupWork();
        ASSERT_EQ(2u, f.Announcements());
        EXPECT_EQ(Sjis(c.expected), f.world.messages.committed[1].segments.at(0));
    }
}

TEST(Schedules, ANameHoldingThePlaceholderShowsTheTemplate)
{
    ScheduleFixture f;
    f.StartAt(2024, 6, 14, 11, 59);
    f.Add(0, "$SCHNAME$", Pattern(-1, -1, -1, -1, 12, 0));
    f.TickAt(2024, 6, 14, 12, 0);
    ASSERT_EQ(1u, f.Announcements());
    EXPECT_EQ(f.form->SkinInfo().timeMes, f.world.messages.committed[0].segments.at(0));
}

class RecordingDialogs final : public pendar::IDialogWindows {
public:
    void ShowLog() override { calls.push_back("ShowLog"); }
    void ShowCalendar() override { calls.push_back("ShowCalendar"); }
    void RefreshCalendar() override { calls.push_back("RefreshCalendar"); }
    std::vector<std::string> calls;
};

TEST(DialogCommands, TheMenuTheDoubleClickAndANewDayReachTheWindows)
{
    ScheduleFixture f;
    f.StartAt(2024, 6, 14, 23, 59);
    f.form->SysMenu().Click("MILog"); // before the windows exist: nothing happens
    RecordingDialogs dialogs;
    f.form->SetDialogWindows(&dialogs);
    f.form->SysMenu().Click("MILog");
    f.form->SysMenu().Click("MICalender");
    f.form->MainImageDblClick();
    f.TickAt(2024, 6, 15, 0, 0);
    f.TickAt(2024, 6, 15, 0, 1);
    EXPECT_EQ((std::vector<std::string>{"ShowLog", "ShowCalendar", "ShowCalendar", "RefreshCalendar"}), dialogs.calls);
}

} // namespace
