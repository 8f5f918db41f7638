#include "TestForm.h"

#include <gtest/gtest.h>

namespace {

using pendar::test::FormFixture;

class MainTick : public ::testing::Test, public FormFixture {
protected:
    void SetUp() override
    {
        world.clock.Set(2024, 6, 14, 10, 0, 30); // a Friday
        form.FormCreate();
        Tick(); // the form now holds 10:00
        form.calls.clear();
    }
};

TEST_F(MainTick, CreateReadsSettingsOpensTheSkinAndStarts)
{
    FormFixture f;
    f.dir.Write("Pendar.ini", "[Config]\r\nVersion=1.22\r\nSkinName=Mine\r\n[Mail]\r\nInterval=3\r\n");
    f.form.FormCreate();
    EXPECT_EQ("OpenSkin Mine", f.form.calls.front());
    EXPECT_EQ("SorelPendar", f.world.view.caption);
    EXPECT_EQ(3, f.form.MailCountdown());
    EXPECT_TRUE(f.form.TrayAdded());
    EXPECT_TRUE(f.world.view.ticking);
    EXPECT_TRUE(f.world.view.startupScheduled);
    f.form.FormShow();
    EXPECT_FALSE(f.world.view.taskbarEntry); // the tray icon stands in for it
}

TEST_F(MainTick, WithoutATrayTheWindowKeepsItsTaskbarEntry)
{
    FormFixture f;
    f.world.tray.available = false;
    f.form.FormCreate();
    EXPECT_FALSE(f.form.TrayAdded());
    f.form.FormShow();
    EXPECT_TRUE(f.world.view.taskbarEntry);
}

TEST_F(MainTick, ANotificationAreaThatComesOrGoesMovesWhereTheWindowMinimisesTo)
{
    FormFixture f;
    f.world.tray.available = false; // the panel is not up yet
    f.form.FormCreate();
    f.form.FormShow();
    f.form.SysMinClick();
    EXPECT_EQ("Minimize", f.world.view.calls.back()); // its task-bar entry brings it back
    f.form.SysRestoreClick();

    f.world.tray.available = true; // the panel started: the icon is in it
    f.Tick();
    EXPECT_TRUE(f.form.TrayAdded());
    EXPECT_FALSE(f.world.view.taskbarEntry);
    f.form.SysMinClick();
    EXPECT_EQ("Hide", f.world.view.calls.back());

    f.world.tray.available = false; // the panel went away while the window was hidden
    f.Tick();
    EXPECT_FALSE(f.form.TrayAdded());
    EXPECT_TRUE(f.world.view.taskbarEntry);
    EXPECT_TRUE(f.world.view.visible);
    f.form.FormDestroy();
    EXPECT_TRUE(f.world.tray.deleted); // the icon that waited is withdrawn too
}

TEST_F(MainTick, AFailedSkinFallsBackToThePlainSkin)
{
    FormFixture f;
    f.form.openSkinResult = false;
    f.form.FormCreate();
    EXPECT_FALSE(f.form.Closing());
    EXPECT_EQ("\x96\xB3\x92\x6E", f.form.SkinInfo().name); // "無地"
    EXPECT_EQ(alFree, f.form.SkinInfo().align);
    EXPECT_EQ(f.form.SkinInfo().name, f.world.view.hints);
}

TEST_F(MainTick, StartupWorkGreetsAndChecksSchedules)
{
    form.SkinInfo().startWav = "hello.wav";
    form.StartupWork();
    ASSERT_EQ(1u, world.messages.committed.size());
    EXPECT_TRUE(world.messages.committed[0].transient);
    EXPECT_EQ(form.SkinInfo().startMes, world.messages.committed[0].segments.at(0));
    EXPECT_EQ((std::vector<std::string>{"Play hello.wav", "CheckSchedules"}), form.calls);
    EXPECT_EQ((std::vector<std::string>{"Lower"}), world.priority.calls);
    EXPECT_EQ(1u, world.random.seeds.size());

    form.calls.clear();
    form.Settings().waveFlag = false;
    form.Settings().schEnable = false;
    form.StartupWork();
    EXPECT_TRUE(form.calls.empty());
}

TEST_F(MainTick, ANewMinuteUpdatesTheClockAndRunsTheChecks)
{
    form.Settings().timeEnable = true;
    Tick(100); // 20 s: into 10:00:50
    EXPECT_EQ(0, form.Count("UpdateClock"));
    Tick(50); // past 10:01
    EXPECT_EQ(1, form.Count("UpdateClock"));
    EXPECT_EQ(1, form.Count("CheckSchedules"));
    EXPECT_EQ(1, form.Count("CheckTimeSync"));
    EXPECT_EQ(0, form.Count("RefreshCalendar"));
    EXPECT_EQ(10, form.CurrentTime().hour);
    EXPECT_EQ(1, form.CurrentTime().minute);
}

TEST_F(MainTick, IdleActionRunsOnceASecondUnlessAnimating)
{
    Tick(10);
    EXPECT_EQ(2, form.Count("IdleAction")); // ticks 1 and 6
    form.animating = true;
    Tick(10);
    EXPECT_EQ(2, form.Count("IdleAction"));
    EXPECT_EQ(10, form.Count("StepAnimation"));
}

TEST_F(MainTick, TheGuardKeepsATickFromRunningInsideItself)
{
    form.SetMailCountdown(0);
    int nested = 0;
    form.duringMailCheck = [&] {
        if (nested++ == 0) {
            world.clock.AdvanceMs(60000);
            form.CheckTimerTimer(); // arrives while the check waits
        }
    };
    Tick();
    EXPECT_EQ(1, form.Count("CheckMail auto"));
    EXPECT_EQ(0, form.Count("UpdateClock"));
    Tick(); // the guard was cleared
    EXPECT_EQ(2, form.Count("CheckMail auto"));
}

TEST_F(MainTick, TheGuardIsClearedWhenAStepRaises)
{
    form.SetMailCountdown(0);
    form.duringMailCheck = [] { throw std::runtime_error("boom"); };
    EXPECT_THROW(Tick(), std::runtime_error);
    form.duringMailCheck = nullptr;
    Tick();
    EXPECT_EQ(2, form.Count("CheckMail auto"));
}

TEST_F(MainTick, TheModalFlagPausesAnimationTrackingAndMailOnly)
{
    form.SetModal(true);
    form.SetMailCountdown(0);
    form.SetFlashCount(8);
    world.tracker.foreground = {pendar::ForegroundInfo::Other, 42, {0, 0, 100, 100}};
    form.align = alWinTop;
    Tick(5 * 60);
    EXPECT_EQ(0, form.Count("IdleAction"));
    EXPECT_EQ(0, form.Count("CheckMail auto"));
    EXPECT_EQ(0, form.Count("PlaceWindow"));
    EXPECT_EQ(0u, form.TrackedWindow());
    EXPECT_GE(form.Count("UpdateClock"), 1);
    EXPECT_GE(form.Count("CheckSchedules"), 1);
    EXPECT_EQ(0, form.FlashCount());
}

TEST_F(MainTick, AClockSetBackUpdatesTheLabelsButSkipsTheChecks)
{
    Tick(150); // 10:01
    form.calls.clear();
    world.clock.Set(2024, 6, 14, 10, 0, 10);
    Tick();
    EXPECT_EQ(1, form.Count("UpdateClock"));
    EXPECT_EQ(0, form.Count("CheckSchedules"));
    EXPECT_EQ(0, form.CurrentTime().minute);
}

TEST_F(MainTick, SaturdayToSundayMidnightIsNotABackwardStep)
{
    world.clock.Set(2024, 6, 15, 23, 59, 30); // Saturday
    Tick();
    form.calls.clear();
    world.clock.Set(2024, 6, 15, 23, 59, 59, 900);
    Tick(); // Sunday 00:00
    EXPECT_EQ(1, form.Count("UpdateClock"));
    EXPECT_EQ(1, form.Count("RefreshCalendar"));
    EXPECT_EQ(1, form.Count("CheckSchedules"));
    EXPECT_EQ(0, form.CurrentTime().weekday);
    EXPECT_EQ(16, form.CurrentTime().day);
}

TEST_F(MainTick, CountdownsStepOncePerMinuteAndMailStartsAtZero)
{
    form.SetMailCountdown(2);
    form.SetNtpRetryCountdown(1);
    Tick(150); // 10:01
    EXPECT_EQ(1, form.MailCountdown());
    EXPECT_EQ(0, form.NtpRetryCountdown());
    EXPECT_EQ(0, form.Count("CheckMail auto"));
    Tick(300); // 10:02
    EXPECT_EQ(0, form.MailCountdown());
    EXPECT_GE(form.Count("CheckMail auto"), 1);
    Tick(300);
    EXPECT_EQ(0, form.MailCountdown()); // never below 0
}

TEST_F(MainTick, MailEnableOffStopsAutomaticChecksAndOnStartsOneAtTheNextTick)
{
    form.SysMenu().Click("MIMailSw");
    EXPECT_FALSE(form.Settings().mailEnable);
    EXPECT_FALSE(form.SysMenu().Entry("MIMailSw").checked);
    form.SetMailCountdown(0);
    Tick(20);
    EXPECT_EQ(0, form.Count("CheckMail auto"));
    EXPECT_EQ(0, form.MailCountdown());
    form.SysMenu().Click("MIMailSw");
    EXPECT_TRUE(form.Settings().mailEnable);
    Tick();
    EXPECT_EQ(1, form.Count("CheckMail auto"));
}

TEST_F(MainTick, TrayFlashesEveryFourHundredMillisecondsThenRests)
{
    world.tray.icons.clear();
    form.SetFlashCount(9);
    Tick(11);
    // Counter after each tick: 8 7 6 5 4 3 2 1 0 0 0.
    EXPECT_EQ((std::vector<std::string>{"SMALLICON", "SMALLFLASH", "SMALLICON", "SMALLFLASH", "SMALLICON"}),
              world.tray.icons);
    EXPECT_EQ(0, form.FlashCount());

    world.tray.icons.clear();
    form.SetFlashCount(TMainForm::kFlashTicks);
    Tick(TMainForm::kFlashTicks);
    EXPECT_EQ(150u, world.tray.icons.size()); // an icon every other tick for 60 s
    EXPECT_EQ("SMALLICON", world.tray.icons.back());
}

TEST_F(MainTick, FollowsTheForegroundWindowForWindowRelativeAlignments)
{
    form.align = alWinTop;
    world.tracker.foreground = {pendar::ForegroundInfo::Other, 7, {10, 10, 300, 200}};
    Tick();
    EXPECT_EQ(7u, form.TrackedWindow());
    EXPECT_EQ(1, form.Count("PlaceWindow"));
    Tick(); // unchanged
    EXPECT_EQ(1, form.Count("PlaceWindow"));
    world.tracker.foreground.rect.left = 20; // moved
    Tick();
    EXPECT_EQ(2, form.Count("PlaceWindow"));

    // Our own window comes to the front: the tracked one stays while shown.
    world.tracker.foreground = {pendar::ForegroundInfo::Own, 0, {}};
    world.tracker.shown = 7;
    Tick();
    EXPECT_EQ(7u, form.TrackedWindow());
    world.tracker.shown = 0; // minimised or closed
    Tick();
    EXPECT_EQ(0u, form.TrackedWindow());
    EXPECT_EQ(3, form.Count("PlaceWindow"));

    // No foreground window at all.
    world.tracker.foreground = {pendar::ForegroundInfo::Other, 8, {0, 0, 5, 5}};
    Tick();
    world.tracker.foreground = {};
    Tick();
    EXPECT_EQ(0u, form.TrackedWindow());
    EXPECT_EQ(5, form.Count("PlaceWindow"));

    // Screen-edge alignments track but never move.
    form.align = alBottom;
    world.tracker.foreground = {pendar::ForegroundInfo::Other, 9, {0, 0, 5, 5}};
    Tick();
    EXPECT_EQ(9u, form.TrackedWindow());
    EXPECT_EQ(5, form.Count("PlaceWindow"));
}

TEST_F(MainTick, ClosingStopsTheTickAbortsAMailCheckAndSavesAtDestruction)
{
    form.SetMailBusy(true);
    EXPECT_TRUE(form.FormCloseQuery());
    EXPECT_TRUE(form.Closing());
    EXPECT_FALSE(world.view.ticking);
    EXPECT_EQ(1, form.Count("AbortMailCheck"));
    EXPECT_EQ("Restore", world.priority.calls.back());
    form.FormDestroy();
    EXPECT_TRUE(world.tray.deleted);
    EXPECT_FALSE(form.TrayAdded());
    EXPECT_NE(std::string::npos, dir.Read("Pendar.ini").find("SkinName=Sorel"));
    // After closing, the greeting is not shown any more.
    form.StartupWork();
    EXPECT_TRUE(world.messages.committed.empty());
}

TEST_F(MainTick, ASaveThatFailsIsLoggedAndChangesNothingElse)
{
    FormFixture f;
    f.dir.Write("blocker", "");
    pendar::test::TestForm form2(f.world.Services(f.dir.File("blocker/Pendar.ini")));
    form2.FormCreate();
    EXPECT_FALSE(form2.SaveSettings());
    ASSERT_EQ(1u, f.world.log.lines.size());
    EXPECT_EQ(0u, f.world.log.lines[0].text.find("Error "));
    EXPECT_EQ(255, f.world.log.lines[0].colour);
}

} // namespace
