// The settings dialog's editing model, driven without a window.
#include "base/Sjis.h"
#include "dialogs/SettingModel.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBoxes.h"
#include "support/SchTimes.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using pendar::test::MakeTime;

using pendar::TScheduleEditors;
using pendar::TSettingModel;

TSchTime Any()
{
    return MakeTime(-1, -1, -1, -1, -1, -1);
}

// A view that answers every refresh the way real widgets do: each filled
// editor raises its change event with the value it now shows.
class EchoingView final : public pendar::ISettingView {
public:
    explicit EchoingView(TSettingModel& m) : m_(m) {}
    void Refresh(unsigned parts) override
    {
        ++refreshes;
        if (parts & pendar::spScheduleEditors) {
            m_.SchNameEditChange(m_.ScheduleEditors().name);
            m_.SchTimeChange(m_.ScheduleEditors());
        }
        if (parts & pendar::spProfileEditors) {
            m_.ProfileEditChange(m_.ProfileEditors().name);
            m_.ProfileFieldsChange(m_.ProfileEditors());
        }
    }
    int refreshes = 0;

private:
    TSettingModel& m_;
};

struct Dialog {
    pendar::test::FakeClock clock;
    pendar::test::RecordingMessageBoxes boxes;
    TSettingModel m{clock, boxes};
    EchoingView view{m};

    Dialog()
    {
        clock.Set(2005, 6, 10, 14, 30); // a Friday
        for (auto& p : m.profiles)
            p = TMailProfile{};
        m.SetView(&view);
    }
    void AddSchedules(int n)
    {
        for (int i = 0; i < n; ++i) {
            m.schNames[i] = "s" + std::to_string(i);
            m.schTimes[i] = MakeTime(2005, 7, 1 + i % 28, -1, 9, 0);
        }
    }
    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& b : boxes.boxes)
            texts.push_back(b.text);
        return texts;
    }
};

TEST(SettingModel, ShowCompactsTheSchedulesAndHideHandsThemBackCompacted)
{
    Dialog d;
    d.m.schNames[3] = "dentist";
    d.m.schTimes[3] = MakeTime(2005, 7, 1, -1, 9, 0, 1);
    d.m.schTimes[7] = MakeTime(-1, -1, -1, 1, 8, 0); // no name, but a time: kept, as an empty line
    d.m.schNames[5] = "";                        // neither: dropped
    d.m.FormShow();

    EXPECT_EQ((std::vector<std::string>{"dentist", ""}), d.m.ScheduleItems());
    EXPECT_EQ(-1, d.m.ScheduleIndex());
    EXPECT_FALSE(d.m.Modified());
    // The editors show the current time, all disabled.
    EXPECT_EQ((std::array<int, 6>{2005, 6, 10, 5, 14, 30}), d.m.ScheduleEditors().values);
    EXPECT_EQ((std::array<bool, 6>{true, true, true, true, true, true}), d.m.ScheduleEditors().checked);
    EXPECT_FALSE(d.m.ScheduleEditing());
    EXPECT_FALSE(d.m.SchFieldEnabled(pendar::sfYear));
    EXPECT_TRUE(d.m.SchNewEnabled());
    EXPECT_FALSE(d.m.SchCopyEnabled());
    EXPECT_FALSE(d.m.SchDelEnabled());

    d.m.FormHide();
    EXPECT_EQ("dentist", d.m.schNames[0]);
    EXPECT_EQ(MakeTime(2005, 7, 1, -1, 9, 0, 1), d.m.schTimes[0]);
    EXPECT_EQ("", d.m.schNames[1]);
    EXPECT_EQ(MakeTime(-1, -1, -1, 1, 8, 0), d.m.schTimes[1]);
    for (int i = 2; i < TSettingModel::kSchedules; ++i) {
        EXPECT_EQ("", d.m.schNames[i]) << i;
        EXPECT_EQ(Any(), d.m.schTimes[i]) << i;
    }
}

TEST(SettingModel, OpeningAndClosingWithoutAChangeLeavesModifiedOff)
{
    Dialog d;
    d.AddSchedules(3);
    d.m.profiles[0].name = "home";
    d.m.FormShow();
    // Filling the editors raises their change events; none writes back.
    d.m.ScheduleListBoxClick(1);
    EXPECT_EQ("s1", d.m.schNames[1]);
    EXPECT_FALSE(d.m.Modified());
    d.m.FormHide();
    EXPECT_FALSE(d.m.Modified());
}

TEST(SettingModel, TheGuardKeepsAFilledEmptyNameFromBecomingNoTitle)
{
    Dialog d;
    d.m.schTimes[0] = MakeTime(2005, 7, 1, -1, -1, -1);
    d.m.FormShow();
    d.m.ScheduleListBoxClick(0);
    EXPECT_EQ("", d.m.schNames[0]);
    EXPECT_EQ(MakeTime(2005, 7, 1, -1, -1, -1), d.m.schTimes[0]);
    EXPECT_FALSE(d.m.Modified());
}

TEST(SettingModel, ClearingTheNameListsNoTitleWhileTheEditStaysEmpty)
{
    Dialog d;
    d.AddSchedules(2);
    d.m.FormShow();
    d.m.ScheduleListBoxClick(1);
    d.m.SchNameEditChange("");
    EXPECT_EQ("No Title", d.m.ScheduleItems()[1]);
    EXPECT_EQ("No Title", d.m.schNames[1]);
    EXPECT_EQ("", d.m.ScheduleEditors().name);
    EXPECT_TRUE(d.m.Modified());
}

TEST(SettingModel, ANewScheduleIsTodayWithWeekdayHourAndMinuteAny)
{
    Dialog d;
    d.AddSchedules(2);
    d.m.FormShow();
    d.m.SchNewButtonClick();
    EXPECT_EQ(2, d.m.ScheduleIndex());
    EXPECT_EQ(Sjis("新規"), d.m.ScheduleItems()[2]);
    EXPECT_EQ(Sjis("新規"), d.m.schNames[2]);
    EXPECT_EQ(MakeTime(2005, 6, 10, -1, -1, -1), d.m.schTimes[2]);
    EXPECT_TRUE(d.m.ScheduleEditing());
    EXPECT_TRUE(d.m.SchFieldEnabled(pendar::sfDay));
    EXPECT_FALSE(d.m.SchFieldEnabled(pendar::sfHour));
    EXPECT_TRUE(d.m.SchCopyEnabled());
    EXPECT_TRUE(d.m.Modified());
}

TEST(SettingModel, TheHundredthScheduleDisablesNewAndCopyThenRefuses)
{
    Dialog d;
    d.AddSchedules(99);
    d.m.FormShow();
    ASSERT_TRUE(d.m.SchNewEnabled());
    d.m.SchNewButtonClick();
    EXPECT_EQ(100u, d.m.ScheduleItems().size());
    EXPECT_FALSE(d.m.SchNewEnabled());
    EXPECT_TRUE(d.boxes.boxes.empty());

    d.m.SchCopyButtonClick();
    d.m.SchNewButtonClick();
    EXPECT_EQ(100u, d.m.ScheduleItems().size());
    ASSERT_EQ(2u, d.boxes.boxes.size());
    for (const auto& box : d.boxes.boxes) {
        EXPECT_EQ(Sjis("予定は１００個までです。"), box.text);
        EXPECT_EQ(Sjis("エラー"), box.caption);
        EXPECT_EQ(port::MessageIcon::Exclamation, box.icon);
    }
}

TEST(SettingModel, CopyAppendsTheSelectedScheduleAndDeleteMovesTheRestUp)
{
    Dialog d;
    d.AddSchedules(3);
    d.m.schTimes[0].once = 1;
    d.m.FormShow();
    d.m.ScheduleListBoxClick(0);
    d.m.SchCopyButtonClick();
    EXPECT_EQ(3, d.m.ScheduleIndex());
    EXPECT_EQ("s0", d.m.schNames[3]);
    EXPECT_EQ(d.m.schTimes[0], d.m.schTimes[3]);

    d.m.ScheduleListBoxClick(1);
    d.m.SchDelButtonClick();
    EXPECT_EQ((std::vector<std::string>{"s0", "s2", "s0"}), d.m.ScheduleItems());
    EXPECT_EQ("s2", d.m.schNames[1]);
    EXPECT_EQ(MakeTime(2005, 7, 3, -1, 9, 0), d.m.schTimes[1]);
    EXPECT_EQ("", d.m.schNames[3]);
    EXPECT_EQ(Any(), d.m.schTimes[3]);
    EXPECT_EQ(-1, d.m.ScheduleIndex());
    EXPECT_EQ("", d.m.ScheduleEditors().name);
    EXPECT_FALSE(d.m.ScheduleEditing());
    EXPECT_TRUE(d.m.SchNewEnabled());
    EXPECT_FALSE(d.m.SchDelEnabled());
}

TEST(SettingModel, EditorsKeepTheirValueForAFieldThatIsAny)
{
    Dialog d;
    d.m.schNames[0] = "full";
    d.m.schTimes[0] = MakeTime(2006, 3, 4, 6, 7, 8);
    d.m.schNames[1] = "daily";
    d.m.schTimes[1] = MakeTime(-1, -1, -1, -1, 21, 15);
    d.m.FormShow();
    d.m.ScheduleListBoxClick(0);
    d.m.ScheduleListBoxClick(1);
    const TScheduleEditors& e = d.m.ScheduleEditors();
    EXPECT_EQ((std::array<bool, 6>{false, false, false, false, true, true}), e.checked);
    EXPECT_EQ((std::array<int, 6>{2006, 3, 4, 6, 21, 15}), e.values);
    EXPECT_FALSE(d.m.SchFieldEnabled(pendar::sfYear));
    EXPECT_TRUE(d.m.SchFieldEnabled(pendar::sfMinute));

    // Switching the year on stores the year the editor kept; a weekday box
    // that is on with no item chosen gives any.
    TScheduleEditors edited = e;
    edited.checked[pendar::sfYear] = true;
    edited.checked[pendar::sfWeek] = true;
    edited.values[pendar::sfWeek] = -1;
    edited.once = true;
    d.m.SchTimeChange(edited);
    EXPECT_EQ(MakeTime(2006, -1, -1, -1, 21, 15, 1), d.m.schTimes[1]);
    EXPECT_TRUE(d.m.Modified());
}

TEST(SettingModel, PresetsSetTheCheckBoxesAndKeepTheShownValues)
{
    const struct {
        void (TSettingModel::*preset)();
        TSchTime expected;
    } cases[] = {
        {&TSettingModel::EveryDayButtonClick, MakeTime(-1, -1, -1, -1, 14, 30)},
        {&TSettingModel::EveryWeekButtonClick, MakeTime(-1, -1, -1, 5, 14, 30)},
        {&TSettingModel::EveryMonthButtonClick, MakeTime(-1, -1, 10, -1, -1, -1)},
        {&TSettingModel::EveryYearButtonClick, MakeTime(-1, 6, 10, -1, -1, -1)},
    };
    for (const auto& c : cases) {
        Dialog d;
        d.m.schNames[0] = "x";
        d.m.FormShow();
        d.m.ScheduleListBoxClick(0);
        d.m.NowButtonClick();
        EXPECT_EQ(MakeTime(2005, 6, 10, 5, 14, 30), d.m.schTimes[0]);
        (d.m.*c.preset)();
        EXPECT_EQ(c.expected, d.m.schTimes[0]);
    }
    // Without a selection the buttons do nothing.
    Dialog d;
    d.m.FormShow();
    d.m.EveryDayButtonClick();
    d.m.NowButtonClick();
    EXPECT_FALSE(d.m.Modified());
}

TEST(SettingModel, ProfilesAreCompactedDeletedAndCopiedWithTheirSeenListsAndTls)
{
    Dialog d;
    d.m.profiles[0] = {"", "", 995, "", "", true, {"z"}, pendar::TMailTls::Implicit}; // only the port: dropped
    for (int i = 1; i <= 4; ++i)
        d.m.profiles[i] = {"p" + std::to_string(i), "h", 110, "u", "pw", false, {"id" + std::to_string(i)}};
    d.m.profiles[1].tls = pendar::TMailTls::StartTls;
    d.m.profiles[3].tls = pendar::TMailTls::Implicit;
    d.m.profiles[3].caFile = "/etc/ca3.pem";
    d.m.FormShow();
    EXPECT_EQ((std::vector<std::string>{"p1", "p2", "p3", "p4"}), d.m.ProfileItems());
    EXPECT_EQ(110, d.m.profiles[4].port);
    EXPECT_TRUE(d.m.profiles[4].seen.empty());
    EXPECT_FALSE(d.m.ProfileEditing());
    EXPECT_TRUE(d.m.MailNewEnabled());

    d.m.ProfileListBoxClick(1); // "p2"
    EXPECT_EQ("p2", d.m.ProfileEditors().name);
    d.m.MailDelButtonClick();
    EXPECT_EQ((std::vector<std::string>{"p1", "p3", "p4"}), d.m.ProfileItems());
    EXPECT_EQ((std::vector<std::string>{"id3"}), d.m.profiles[1].seen);
    EXPECT_EQ(pendar::TMailTls::Implicit, d.m.profiles[1].tls);
    EXPECT_EQ("/etc/ca3.pem", d.m.profiles[1].caFile);
    EXPECT_EQ((std::vector<std::string>{"id4"}), d.m.profiles[2].seen);
    EXPECT_EQ(pendar::TMailTls::None, d.m.profiles[2].tls);
    EXPECT_TRUE(d.m.profiles[3].IsBlank());
    EXPECT_EQ(pendar::TMailTls::None, d.m.profiles[3].tls);
    EXPECT_EQ("", d.m.profiles[3].caFile);
    EXPECT_EQ(-1, d.m.ProfileIndex());
    EXPECT_FALSE(d.m.MailCopyEnabled());

    d.m.ProfileListBoxClick(0);
    d.m.MailCopyButtonClick();
    EXPECT_EQ(3, d.m.ProfileIndex());
    EXPECT_EQ("p1", d.m.profiles[3].name);
    EXPECT_EQ("pw", d.m.profiles[3].password);
    EXPECT_EQ(pendar::TMailTls::StartTls, d.m.profiles[3].tls);
    EXPECT_TRUE(d.m.profiles[3].seen.empty());
    EXPECT_EQ((std::vector<std::string>{"id1"}), d.m.profiles[0].seen);
}

TEST(SettingModel, ProfileEditsStoreIntoTheSelectedProfile)
{
    Dialog d;
    d.m.FormShow();
    EXPECT_FALSE(d.m.Modified());
    d.m.MailNewButtonClick();
    EXPECT_EQ(Sjis("新規"), d.m.ProfileItems()[0]);
    EXPECT_EQ(110, d.m.ProfileEditors().port);
    EXPECT_TRUE(d.m.ProfileEditing());

    pendar::TProfileEditors e = d.m.ProfileEditors();
    e.host = "pop.example.jp";
    e.port = 70000; // beyond every port
    e.user = "taro";
    e.password = "secret";
    e.apop = true;
    d.m.ProfileFieldsChange(e);
    d.m.ProfileEditChange("");
    const TMailProfile& p = d.m.profiles[0];
    EXPECT_EQ("No Title", p.name);
    EXPECT_EQ("No Title", d.m.ProfileItems()[0]);
    EXPECT_EQ("pop.example.jp", p.host);
    EXPECT_EQ(65535, p.port);
    e.port = 40000; // any port is taken as it is
    d.m.ProfileFieldsChange(e);
    EXPECT_EQ(40000, p.port);
    EXPECT_EQ("taro", p.user);
    EXPECT_EQ("secret", p.password);
    EXPECT_TRUE(p.apop);
}

// SSL/TLS has a standard port of its own: choosing it moves 110 to 995,
// leaving it moves 995 back; a port the user typed stays as it is.
TEST(SettingModel, TheStandardPortFollowsSslTls)
{
    using pendar::TMailTls;
    const struct {
        int port;
        TMailTls from, to;
        int expected;
    } cases[] = {
        {110, TMailTls::None, TMailTls::Implicit, 995},   {995, TMailTls::Implicit, TMailTls::None, 110},
        {995, TMailTls::Implicit, TMailTls::StartTls, 110}, {110, TMailTls::None, TMailTls::StartTls, 110},
        {1995, TMailTls::None, TMailTls::Implicit, 1995}, {1110, TMailTls::Implicit, TMailTls::None, 1110},
        {995, TMailTls::None, TMailTls::Implicit, 995},   {995, TMailTls::StartTls, TMailTls::None, 995},
    };
    for (const auto& c : cases) {
        Dialog d;
        d.m.profiles[0] = {"p", "h", c.port, "u", "pw", false, {}, c.from};
        d.m.FormShow();
        d.m.ProfileListBoxClick(0);
        EXPECT_EQ(c.from != TMailTls::None, d.m.CaFileEnabled());
        pendar::TProfileEditors e = d.m.ProfileEditors();
        e.tls = c.to;
        d.m.ProfileFieldsChange(e);
        const std::string where = std::to_string(c.port) + " to " + std::to_string(static_cast<int>(c.to));
        EXPECT_EQ(c.expected, d.m.ProfileEditors().port) << where;
        EXPECT_EQ(c.expected, d.m.profiles[0].port) << where;
        EXPECT_EQ(c.to, d.m.profiles[0].tls) << where;
        EXPECT_EQ(c.to != TMailTls::None, d.m.CaFileEnabled()) << where;
    }
}

TEST(SettingModel, TheEleventhProfileIsRefused)
{
    Dialog d;
    for (int i = 0; i < 9; ++i)
        d.m.profiles[i].name = "p" + std::to_string(i);
    d.m.FormShow();
    d.m.MailNewButtonClick();
    EXPECT_FALSE(d.m.MailNewEnabled());
    d.m.MailCopyButtonClick();
    d.m.MailNewButtonClick();
    EXPECT_EQ(10u, d.m.ProfileItems().size());
    EXPECT_EQ((std::vector<std::string>{Sjis("設定は１０個までです。"), Sjis("設定は１０個までです。")}), d.BoxTexts());
    EXPECT_EQ(Sjis("エラー"), d.boxes.boxes[0].caption);
}

TEST(SettingModel, TheTimeSyncPatternShowsAndReadsBack)
{
    const struct {
        TSchTime pattern;
        bool weekOn, hourOn, minuteOn;
        int week, hour, minute;
        TSchTime read;
    } cases[] = {
        {MakeTime(-1, -1, -1, -1, -1, -1), false, false, false, 0, 4, 0, Any()},
        {MakeTime(-1, -1, -1, 0, 4, -1), true, true, false, 0, 4, 0, MakeTime(-1, -1, -1, 0, 4, -1)},
        {MakeTime(2005, 6, 10, 3, 23, 59, 1), true, true, true, 3, 23, 59, MakeTime(-1, -1, -1, 3, 23, 59)},
        {MakeTime(-1, -1, -1, 9, 30, 77), false, false, false, 0, 4, 0, Any()}, // out of range: any
    };
    for (const auto& c : cases) {
        Dialog d;
        d.m.ShowTimeSyncPattern(c.pattern);
        const pendar::TTimePage& t = d.m.time;
        EXPECT_EQ(c.weekOn, t.weekOn);
        EXPECT_EQ(c.hourOn, t.hourOn);
        EXPECT_EQ(c.minuteOn, t.minuteOn);
        EXPECT_EQ(c.week, t.week);
        EXPECT_EQ(c.hour, t.hour);
        EXPECT_EQ(c.minute, t.minute);
        EXPECT_EQ(c.read, d.m.ReadTimeSyncPattern());
    }
}

TEST(SettingModel, PagesOneThreeAndFourMarkModifiedAndFollowTheWaveBox)
{
    Dialog d;
    d.m.general.waveFlag = false;
    d.m.mailConfig.interval = 0; // below the up-down's range
    d.m.FormShow();
    EXPECT_FALSE(d.m.RndEnabled());
    EXPECT_EQ(1, d.m.mailConfig.interval);
    EXPECT_FALSE(d.m.Modified());

    pendar::TGeneralPage g = d.m.general;
    g.waveFlag = true;
    d.m.GeneralChange(g);
    EXPECT_TRUE(d.m.RndEnabled());
    EXPECT_TRUE(d.m.Modified());

    for (const std::function<void(TSettingModel&)>& change : std::vector<std::function<void(TSettingModel&)>>{
             [](TSettingModel& m) { m.MailConfigChange({1000, false}); },
             [](TSettingModel& m) { m.TimeChange({true, "ntp.example.jp", true, 2, false, 4, false, 0}); },
         }) {
        Dialog e;
        e.m.FormShow();
        change(e.m);
        EXPECT_TRUE(e.m.Modified());
    }
    Dialog e;
    e.m.MailConfigChange({1000, false});
    EXPECT_EQ(999, e.m.mailConfig.interval);
}

} // namespace
