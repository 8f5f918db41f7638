// The log and calendar windows as real widgets on the offscreen platform.
#include "dialogs_qt/CalenderForm.h"
#include "dialogs_qt/LogForm.h"
#include "support/FakeClock.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

using pendar::TCalenderForm;
using pendar::TLogForm;
using pendar::TLogModel;
using pendar::test::FakeClock;

// The colour of the text at a position of a block.
QColor ColourAt(const QTextBlock& block, int position)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        QTextFragment f = it.fragment();
        int start = f.position() - block.position();
        if (position >= start && position < start + f.length())
            return f.charFormat().foreground().color();
    }
    return {};
}

struct LogWindowFixture {
    FakeClock clock;
    TLogModel log{clock};
    QWidget owner;
    LogWindowFixture() { clock.Set(2024, 6, 14, 9, 5); }
};

TEST(LogForm, ShowsTheLinesLoggedBeforeAndAfterItWasMade)
{
    LogWindowFixture f;
    f.log.AddLog("before", 0);
    TLogForm form(f.log, f.owner, {});
    f.log.AddLog("Error boom\nsecond", 255);
    QTextDocument* doc = form.LogEdit()->document();
    ASSERT_EQ(4, doc->blockCount());
    EXPECT_EQ(QString("** SorelPendar Log **"), doc->findBlockByNumber(0).text());
    EXPECT_EQ(QString(" 9:05 before"), doc->findBlockByNumber(1).text());
    QTextBlock error = doc->findBlockByNumber(2);
    EXPECT_EQ(QString(" 9:05 Error boom"), error.text());
    EXPECT_EQ(QColor(Qt::blue), ColourAt(error, 1));
    EXPECT_EQ(QColor(Qt::blue), ColourAt(error, 4));
    EXPECT_EQ(QColor(Qt::red), ColourAt(error, 6));
    EXPECT_EQ(QColor(Qt::black), ColourAt(doc->findBlockByNumber(1), 6));
    EXPECT_TRUE(form.LogEdit()->isReadOnly());
    EXPECT_EQ(QString("Log"), form.windowTitle());
}

TEST(LogForm, HoldsAtMost1024LinesAndOneLinePerPiece)
{
    LogWindowFixture f;
    TLogForm form(f.log, f.owner, {});
    for (int i = 0; i < 1100; ++i)
        f.log.AddLog("entry " + std::to_string(i), 0);
    QTextDocument* doc = form.LogEdit()->document();
    EXPECT_EQ(1024, doc->blockCount());
    EXPECT_EQ(QString(" 9:05 entry 76"), doc->firstBlock().text());
    EXPECT_EQ(QString(" 9:05 entry 1099"), doc->lastBlock().text());

    f.log.AddLog("crlf text\r\nnext", 0); // the CR does not start a line of its own
    EXPECT_EQ(1024, doc->blockCount());
    EXPECT_EQ(QString(" 9:05 next"), doc->lastBlock().text());
}

TEST(LogForm, OpensAtTheLineStartsWithTheNewestLineInView)
{
    LogWindowFixture f;
    TLogForm form(f.log, f.owner, {});
    const std::string wide(200, 'x');
    for (int i = 0; i < 40; ++i)
        f.log.AddLog("entry " + std::to_string(i) + wide, 0);
    form.show();
    QCoreApplication::processEvents();
    QScrollBar* across = form.LogEdit()->horizontalScrollBar();
    QScrollBar* down = form.LogEdit()->verticalScrollBar();
    for (const char* when : {"shown", "a line more"}) {
        SCOPED_TRACE(when);
        EXPECT_GT(across->maximum(), 0);
        EXPECT_EQ(0, across->value());
        EXPECT_GT(down->maximum(), 0);
        EXPECT_EQ(down->maximum(), down->value());
        f.log.AddLog("newest" + wide, 0);
        QCoreApplication::processEvents();
    }
}

TEST(LogForm, ShowsBesideItsOwnerInsideTheScreenAndOkHidesIt)
{
    LogWindowFixture f;
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    f.owner.setGeometry(screen.right() - 100, screen.bottom() - 100, 160, 160);
    TLogForm form(f.log, f.owner, {});
    form.show();
    QRect placed = form.frameGeometry();
    EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();
    EXPECT_FALSE(placed.intersects(f.owner.frameGeometry())) << placed.x() << "," << placed.y();

    f.log.AddLog("kept", 0);
    QTest::mouseClick(form.OkBitBtn(), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(QString(" 9:05 kept"), form.LogEdit()->document()->lastBlock().text());
}

TEST(LogForm, TakesTheStayOnTopStateWhenActivated)
{
    LogWindowFixture f;
    bool onTop = true;
    TLogForm form(f.log, f.owner, [&] { return onTop; });
    form.show();
    QApplication::setActiveWindow(&form);
    QTest::qWait(50);
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form.isVisible());
}

QColor TextColour(QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}
QColor Background(QLabel* label)
{
    return label->palette().color(QPalette::Window);
}

TEST(CalenderForm, DrawsTheMonthInItsCells)
{
    FakeClock clock;
    clock.Set(2022, 1, 15, 10, 0);
    TCalenderForm form(clock, {});
    EXPECT_EQ(QString::fromUtf8("カレンダー"), form.windowTitle());
    EXPECT_EQ(QString::fromUtf8("2022年 1月"), form.MonthLabel()->text());
    EXPECT_EQ(form.Cell(36), form.findChild<QLabel*>("Label37"));
    EXPECT_EQ(QString("31"), form.Cell(36)->text());
    EXPECT_EQ(QString(""), form.Cell(5)->text());
    EXPECT_EQ(QString("1"), form.Cell(6)->text());
    EXPECT_EQ(QColor(Qt::red), TextColour(form.Cell(6)));
    EXPECT_EQ(QString::fromUtf8("元日"), form.Cell(6)->toolTip());
    EXPECT_EQ(QColor(Qt::blue), TextColour(form.Cell(13)));
    EXPECT_EQ(QColor(Qt::cyan), Background(form.Cell(20))); // today
    EXPECT_EQ(QColor(Qt::white), Background(form.Cell(19)));
    EXPECT_EQ(QString(""), form.Cell(8)->toolTip());
    EXPECT_EQ(QPoint(6, 20), form.Cell(0)->pos());
    EXPECT_EQ(QPoint(30, 100), form.Cell(36)->pos()); // column 1 of row 5
}

TEST(CalenderForm, ButtonsStepTheMonthAndStopAtTheLimits)
{
    FakeClock clock;
    clock.Set(1901, 1, 20, 10, 0);
    TCalenderForm form(clock, {});
    form.show();
    QTest::mouseClick(form.BackBtn(), Qt::LeftButton);
    EXPECT_EQ(QString::fromUtf8("1900年 12月"), form.MonthLabel()->text());
    EXPECT_FALSE(form.BackBtn()->isEnabled());
    QTest::mouseClick(form.NextBtn(), Qt::LeftButton);
    EXPECT_TRUE(form.BackBtn()->isEnabled());
    clock.Set(2100, 3, 1, 10, 0);
    QTest::mouseClick(form.NowBtn(), Qt::LeftButton);
    EXPECT_EQ(QString::fromUtf8("2100年 3月"), form.MonthLabel()->text());
    EXPECT_FALSE(form.NextBtn()->isEnabled());
    QTest::mouseClick(form.CloseBtn(), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    form.show(); // shown again: the same month
    EXPECT_EQ(QString::fromUtf8("2100年 3月"), form.MonthLabel()->text());
}

} // namespace
