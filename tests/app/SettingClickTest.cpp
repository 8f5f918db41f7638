// The menu command MISetting: copies in, the dialog shown modally, copies
// back only after OK with a change, then the steps that follow a change.
#include "ScriptedDialogs.h"
#include "TestForm.h"
#include "support/SchTimes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace {

using pendar::test::MakeTime;

using pendar::TSettingModel;
using pendar::test::FormFixture;
using pendar::test::ScriptedDialogs;

struct SettingFixture : FormFixture {
    ScriptedDialogs dialogs{form};
    SettingFixture()
    {
        form.SetDialogWindows(&dialogs);
        form.calls.clear();
    }
    bool Saved() const { return std::filesystem::exists(dir.File("Pendar.ini")); }
    void Click() { form.SysMenu().Click("MISetting"); }
};

const std::vector<bool> kWhileShown{true, false, false, false};

TEST(SettingClick, CancelOrOkWithoutAChangeCopiesNothingBack)
{
    for (bool ok : {false, true}) {
        SettingFixture f;
        f.form.Settings().schedules[4].name = "kept";
        f.form.SetNtpRetryCountdown(7);
        f.dialogs.ok = ok;
        f.dialogs.settingsScript = [ok](TSettingModel& m) {
            if (!ok) // edited, then cancelled
                m.SchNewButtonClick();
        };
        f.Click();
        ASSERT_EQ(1u, f.dialogs.states.size());
        EXPECT_EQ(kWhileShown, f.dialogs.states[0]);
        EXPECT_FALSE(f.form.Modal());
        for (const char* e : {"MIMailCheck", "MISetting", "MISysClose"})
            EXPECT_TRUE(f.form.SysMenu().Entry(e).enabled) << e;
        // The dialog's compaction stays in the dialog.
        EXPECT_EQ("kept", f.form.Settings().schedules[4].name);
        EXPECT_EQ(7, f.form.NtpRetryCountdown());
        EXPECT_FALSE(f.Saved());
        EXPECT_TRUE(f.form.calls.empty());
    }
}

TEST(SettingClick, OkWithAChangeCopiesBackSavesAndPlaces)
{
    SettingFixture f;
    f.world.clock.Set(2005, 6, 10, 14, 30);
    TAppSettings& s = f.form.Settings();
    s.schedules[2] = {"at nine", MakeTime(2005, 6, 10, -1, 9, 0), true};
    s.profiles[3].name = "three";
    s.profiles[3].seen = {"uid-1"};
    s.ntpTime = MakeTime(-1, -1, -1, 0, 4, -1);
    f.form.SetMailCountdown(3);
    f.form.SetNtpRetryCountdown(5);
    f.dialogs.settingsScript = [](TSettingModel& m) {
        m.SchNewButtonClick(); // today, all day
        m.MailConfigChange({12, false});
        pendar::TTimePage t = m.time;
        t.timeEnable = true;
        t.minuteOn = true;
        t.minute = 15;
        m.TimeChange(t);
        pendar::TGeneralPage g = m.general;
        g.stayOnTop = true;
        m.GeneralChange(g);
    };
    f.Click();

    EXPECT_EQ("at nine", s.schedules[0].name);
    EXPECT_FALSE(s.schedules[0].notified); // its minute is given
    EXPECT_EQ(MakeTime(2005, 6, 10, -1, -1, -1), s.schedules[1].time);
    EXPECT_TRUE(s.schedules[1].notified); // all day: not announced again today
    EXPECT_EQ("", s.schedules[2].name);
    // The only profile moves to the front with its seen list.
    EXPECT_EQ("three", s.profiles[0].name);
    EXPECT_EQ((std::vector<std::string>{"uid-1"}), s.profiles[0].seen);
    EXPECT_EQ(12, s.interval);
    EXPECT_FALSE(s.sameCheck);
    EXPECT_EQ(12, f.form.MailCountdown());
    EXPECT_EQ(0, f.form.NtpRetryCountdown());
    EXPECT_TRUE(s.timeEnable);
    EXPECT_EQ(MakeTime(-1, -1, -1, 0, 4, 15), s.ntpTime);
    EXPECT_TRUE(s.stayOnTop);
    EXPECT_TRUE(f.Saved());
    EXPECT_EQ((std::vector<std::string>{"PlaceWindow", "ApplyZOrder", "CheckSchedules"}), f.form.calls);

    // The file holds what was copied back.
    TAppSettings loaded;
    ASSERT_TRUE(LoadSettingsFile(f.dir.File("Pendar.ini"), loaded));
    EXPECT_EQ(12, loaded.interval);
    EXPECT_EQ(MakeTime(2005, 6, 10, -1, -1, -1), loaded.schedules[1].time);
}

TEST(SettingClick, AnUnchangedIntervalKeepsTheCountdownAndSchedulesOffSkipTheCheck)
{
    SettingFixture f;
    f.form.Settings().schEnable = false;
    f.form.SetMailCountdown(2);
    f.dialogs.settingsScript = [](TSettingModel& m) { m.MailConfigChange(m.mailConfig); };
    f.Click();
    EXPECT_EQ(2, f.form.MailCountdown());
    EXPECT_TRUE(f.Saved());
    EXPECT_EQ((std::vector<std::string>{"PlaceWindow", "ApplyZOrder"}), f.form.calls);
}

TEST(SettingClick, ADialogThatRaisesStillEndsTheModalState)
{
    SettingFixture f;
    f.dialogs.settingsScript = [](TSettingModel&) { throw std::runtime_error("broken"); };
    EXPECT_THROW(f.Click(), std::runtime_error);
    EXPECT_FALSE(f.form.Modal());
    EXPECT_TRUE(f.form.SysMenu().Entry("MISetting").enabled);
    EXPECT_TRUE(f.form.SysMenu().Entry("MISysClose").enabled);
    EXPECT_FALSE(f.Saved());
}

} // namespace
