// The Qt view of the main window on the offscreen platform: its menu follows
// the model, its tick runs the form, and closing runs the close path.
#include "WindowFixture.h"
#include "app_qt/DialogWindows.h"
#include "app_qt/DibImage.h"
#include "app_qt/MainWindow.h"
#include "port/Cp932.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using pendar::test::TempDir;
using pendar::test::WindowFixture;

TEST(MainWindow, MenuShowsTheModelAndFollowsItsChanges)
{
    WindowFixture f;
    QList<QAction*> actions = f.window.PopupMenu()->actions();
    ASSERT_EQ(17, actions.size());
    EXPECT_EQ(4, std::count_if(actions.begin(), actions.end(), [](QAction* a) { return a->isSeparator(); }));
    QAction* restore = f.Action("元のｻｲｽﾞに戻す(&R)");
    ASSERT_NE(nullptr, restore);
    EXPECT_FALSE(restore->isEnabled());
    QAction* mailCheck = f.Action("メールチェック(&C)");
    ASSERT_NE(nullptr, mailCheck);
    EXPECT_EQ(QKeySequence("Ctrl+C"), mailCheck->shortcut());
    QAction* close = f.Action("閉じる(&X)");
    EXPECT_EQ(close, f.window.PopupMenu()->defaultAction());
    QAction* schedules = f.Action("スケジュール有効");
    EXPECT_TRUE(schedules->isCheckable());
    EXPECT_TRUE(schedules->isChecked());

    f.form.FormCreate();
    f.window.show();
    f.Action("最小化(&N)")->trigger();
    EXPECT_FALSE(f.window.isVisible());
    EXPECT_TRUE(restore->isEnabled());
    schedules->trigger();
    EXPECT_FALSE(schedules->isChecked());
    EXPECT_FALSE(f.form.Settings().schEnable);
}

TEST(MainWindow, TheTickAndTheStartupWorkRunFromTheEventLoop)
{
    WindowFixture f;
    f.world.clock.Set(2024, 6, 14, 10, 0, 30);
    f.form.FormCreate();
    f.window.show();
    EXPECT_EQ(QString("SorelPendar"), f.window.windowTitle());
    QTest::qWait(450);
    f.world.clock.AdvanceMs(60000);
    QTest::qWait(450);
    EXPECT_GE(f.form.Count("IdleAction"), 1);
    EXPECT_GE(f.form.Count("UpdateClock"), 1);
    EXPECT_EQ(1u, f.world.messages.committed.size()); // the greeting
}

TEST(MainWindow, ClosingRunsTheClosePathAndQuits)
{
    WindowFixture f;
    f.form.FormCreate();
    f.window.show();
    f.form.SysMenu().Click("MISysClose");
    QTest::qWait(100);
    EXPECT_TRUE(f.form.Closing());
    EXPECT_FALSE(f.window.isVisible());
}

TEST(MainWindow, DoubleClickShowsTheCalendarAndTheMenuTheLog)
{
    WindowFixture f;
    pendar::TLogModel log(f.world.clock);
    pendar::DialogWindows dialogs(log, f.world.clock, f.window, f.form.SettingDialog(), [&] { return f.form.StaysOnTop(); });
    f.form.SetDialogWindows(&dialogs);
    f.form.FormCreate();
    f.window.show();
    EXPECT_EQ(0, dialogs.Built()) << "a window no one opened is built";
    QTest::mouseDClick(f.window.MainImage(), Qt::LeftButton);
    EXPECT_EQ(1, dialogs.Built());
    EXPECT_TRUE(dialogs.CalenderForm().isVisible());

    log.AddLog("hello", 0); // logged before its window exists
    f.Action("ログ表示")->trigger();
    EXPECT_EQ(2, dialogs.Built());
    EXPECT_TRUE(dialogs.LogForm().isVisible());
    EXPECT_TRUE(dialogs.LogForm().LogEdit()->toPlainText().endsWith(" 0:00 hello"));
    f.form.SetDialogWindows(nullptr);
}

} // namespace
