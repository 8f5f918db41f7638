// TZoNotifyIcon on a real X server: without a notification area the icon
// waits, it is embedded as soon as one (trayer) starts and knows when the
// area ends; its clicks and its menu.
#include "platform_qt/ZoNotifyIcon.h"

#include <QMenu>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QIcon Square(Qt::GlobalColor colour)
{
    QPixmap pixmap(22, 22);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

TEST(ZoNotifyIcon, WaitsForANotificationAreaAndIsEmbeddedWhenOneStarts)
{
    if (QStandardPaths::findExecutable("trayer").isEmpty())
        GTEST_SKIP() << "trayer is not installed (scripts/packages/test-audio.list)";
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());

    TZoNotifyIcon icon;
    icon.SetCaption("SorelPendar");
    icon.SetIcon(Square(Qt::red));
    EXPECT_FALSE(icon.NIMAdd()); // asked for, but nowhere to show it yet
    EXPECT_TRUE(icon.IconVisible());
    EXPECT_FALSE(icon.Embedded());

    // The panel comes up after the application, as at log-in.
    QProcess trayer;
    trayer.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
                            "--SetDockType", "true"});
    ASSERT_TRUE(trayer.waitForStarted());
    EXPECT_TRUE(QTest::qWaitFor([&] { return icon.Embedded() && icon.TrayIcon().geometry().width() > 0; }, 20000));
    EXPECT_EQ("SorelPendar", icon.TrayIcon().toolTip());

    EXPECT_TRUE(icon.NIMAdd()); // a second add changes nothing
    icon.SetIcon(Square(Qt::yellow));
    icon.SetCaption("changed");
    EXPECT_EQ("changed", icon.TrayIcon().toolTip());

    icon.NIMDelete();
    EXPECT_FALSE(icon.Embedded());
    EXPECT_FALSE(icon.TrayIcon().isVisible());

    // The area goes away under a shown icon: the platform's notice says so.
    EXPECT_TRUE(icon.NIMAdd());
    trayer.terminate();
    trayer.waitForFinished();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !icon.Embedded(); }, 20000)) << "the area's end went unnoticed";
    EXPECT_TRUE(icon.IconVisible()); // still asked for: back when an area starts again
}

TEST(ZoNotifyIcon, ClicksGoToTheirEventsAndARightClickPopsTheMenuUp)
{
    TZoNotifyIcon icon;
    std::vector<std::string> events;
    icon.OnClick = [&] { events.push_back("click"); };
    icon.OnDblClick = [&] { events.push_back("double"); };
    // A double click arrives as a press, then the double click.
    icon.Activated(QSystemTrayIcon::Trigger);
    icon.Activated(QSystemTrayIcon::DoubleClick);
    icon.Activated(QSystemTrayIcon::MiddleClick);
    icon.Activated(QSystemTrayIcon::Context); // no menu yet: nothing
    EXPECT_EQ((std::vector<std::string>{"click", "double"}), events);

    QMenu menu;
    menu.addAction("entry");
    icon.Menu = &menu;
    icon.Activated(QSystemTrayIcon::Context);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 5000));
    menu.hide();

    // The caption and icon set while the icon is not shown wait for the add.
    icon.SetCaption("later");
    EXPECT_EQ("", icon.TrayIcon().toolTip());
    icon.NIMAdd();
    EXPECT_EQ("later", icon.TrayIcon().toolTip());
    EXPECT_FALSE(icon.TrayIcon().icon().isNull()); // no icon given: the application's
}

} // namespace
