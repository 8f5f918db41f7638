// The main window's Qt view on the offscreen platform: it follows the face
// the logic decides, shows the display buffers upright, repaints when they
// flush, and sends the character's clicks to the logic.
#include "FaceForm.h"
#include "app_qt/DibImage.h"
#include "app_qt/MainWindow.h"
#include "app_qt/QtRegion.h"
#include "app_qt/ZoPanel.h"
#include "base/Sjis.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using pendar::test::Character;
using pendar::test::SkinWorld;
using pendar::test::TestPicture;

struct ViewWorld {
    pendar::MainWindow window;
    SkinWorld skins{&window};
    ViewWorld() { window.Attach(skins.form); }
    pendar::test::FaceForm& Form() { return skins.form; }
};

class RecordingDialogs final : public pendar::IDialogWindows {
public:
    void ShowLog() override {}
    void ShowCalendar() override { ++calendars; }
    void RefreshCalendar() override {}
    int calendars = 0;
};

QColor Rgb(uint32_t rgb)
{
    return QColor(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF));
}

TEST(FaceView, FollowsTheLayoutLabelsAndShapeOfThePlainSkin)
{
    ViewWorld v;
    ASSERT_TRUE(v.Form().LoadPlainSkin());
    v.window.SetHints(v.Form().SkinInfo().name);
    EXPECT_EQ(QSize(160 + 512, 160 + 256), v.window.size());
    EXPECT_EQ(QRect(256, 128, 160, 160), v.window.MainPanel()->geometry());
    EXPECT_EQ(QRect(0, 0, 160, 160), v.window.MainImage()->geometry());
    EXPECT_EQ(QRect(16, 128, 256, 128), v.window.MesPanel()->geometry());
    EXPECT_TRUE(v.window.MesPanel()->isHidden());
    EXPECT_EQ(QString::fromUtf8("無地"), v.window.MainImage()->toolTip());

    // 1 January 2024, a Monday and a holiday: the date in SUNCOLOR.
    const struct {
        pendar::TFaceLabelId id;
        const char* text;
        QPoint place;
        QColor colour;
    } labels[] = {
        {pendar::flYear, "2024", {24, 12}, Qt::black},
        {pendar::flDate, " 1/ 1", {24, 48}, Qt::red},
        {pendar::flWeek, "(Mon)", {24, 84}, Qt::red},
        {pendar::flTime, " 0:00", {24, 116}, Qt::black},
    };
    for (const auto& l : labels) {
        QLabel* label = v.window.Label(l.id);
        SCOPED_TRACE(l.text);
        EXPECT_EQ(QString::fromUtf8(l.text), label->text());
        EXPECT_EQ(l.place, label->pos());
        EXPECT_FALSE(label->isHidden());
        EXPECT_EQ(l.colour, label->palette().color(QPalette::WindowText));
        EXPECT_EQ(32, label->font().pixelSize());
        EXPECT_EQ(QString("IPAGothic"), QFontInfo(label->font()).family());
        EXPECT_EQ(v.window.MainPanel(), label->parentWidget());
    }
    // At the line's place and width; taller than the font's 24 pixels where
    // the font's underline needs it.
    const QRect line2 = v.window.Label(pendar::flLine2)->geometry();
    EXPECT_EQ(QRect(8, 36, 264, 24), QRect(line2.topLeft(), QSize(line2.width(), 24)));
    EXPECT_GE(line2.height(), 24);
    EXPECT_EQ(v.window.MesPanel(), v.window.Label(pendar::flLine2)->parentWidget());

    const pendar::TFace& face = v.Form().Face();
    EXPECT_TRUE(v.window.mask().xored(pendar::ToQRegion(*face.windowShape)).isEmpty());
    EXPECT_FALSE(v.window.mask().contains(QPoint(256, 128))); // a rounded corner
    EXPECT_TRUE(v.window.mask().contains(QPoint(256 + 80, 128 + 80)));

    v.Form().ShowBalloonLines({Sjis("こんにちは"), "", "", ""}, true);
    EXPECT_FALSE(v.window.MesPanel()->isHidden());
    EXPECT_EQ(QString::fromUtf8("こんにちは"), v.window.Label(pendar::flLine1)->text());
    EXPECT_TRUE(v.window.Label(pendar::flLine1)->font().italic());
    EXPECT_TRUE(v.window.mask().contains(QPoint(16 + 128, 128 + 64)));
    EXPECT_TRUE(v.window.MesPanel()->mask().xored(pendar::ToQRegion(face.mesShape)).isEmpty());
    v.Form().HideBalloon();
    EXPECT_TRUE(v.window.MesPanel()->isHidden());
    EXPECT_FALSE(v.window.mask().contains(QPoint(16 + 128, 128 + 64)));
}

TEST(FaceView, TheImageShowsTheBottomUpBufferUpright)
{
    ViewWorld v;
    ASSERT_TRUE(v.Form().LoadPlainSkin());
    TZoRGBDib& dib = v.Form().MainDib();
    ASSERT_LT(dib.Pitch(), 0); // rows stored bottom row first
    dib.BoxFill(0, 0, 159, 9, 0xFF0000);
    QImage shown = v.window.MainImage()->grab().toImage();
    ASSERT_EQ(QSize(160, 160), shown.size());
    EXPECT_EQ(QColor(Qt::red), shown.pixelColor(50, 5));
    EXPECT_EQ(Rgb(0xAAD2F0), shown.pixelColor(50, 80));
    EXPECT_EQ(Rgb(0x404080), shown.pixelColor(80, 159));
    EXPECT_EQ(shown, v.window.MainImage()->Picture().convertToFormat(shown.format()));
}

// A 32-bit section's header has masks for red, green and blue only: its
// fourth byte is no opacity, so a buffer that leaves it 0 still shows.
TEST(FaceView, AThirtyTwoBitBufferIsShownOpaque)
{
    TDibImage image;
    image.resize(4, 2);
    TZoRGBDib dib;
    dib.SetBitDepth(bd32);
    dib.SetPixFormat(pf32_8888);
    dib.Resize(4, 2);
    dib.AssociateBitmap(&image);
    ASSERT_TRUE(dib.Create());
    dib.BoxFill(0, 0, 3, 1, 0xFF0000);
    ASSERT_EQ(0, dib.Bits()[3]); // the fourth byte
    QImage shown = image.grab().toImage();
    EXPECT_EQ(QColor(Qt::red), shown.pixelColor(1, 1));
    EXPECT_EQ(255, image.Picture().pixelColor(1, 1).alpha());
    dib.ReleaseBitmap();
}

// An emphasised line is underlined, and the underline is drawn whole: the
// line's label is tall enough for it below the font's size.
TEST(FaceView, TheEmphasisUnderlineIsDrawnInFull)
{
    ViewWorld v;
    ASSERT_TRUE(v.Form().LoadPlainSkin());
    QWidget* panel = v.window.MesPanel();
    v.Form().ShowBalloonLines({"", "", "", ""}, true);
    const QImage blank = panel->grab().toImage();
    // Spaced letters: only an underline joins the first to the last.
    const QString text = "i i i i i i i i";
    v.Form().ShowBalloonLines({text.toStdString(), "", "", ""}, true);
    const QImage shown = panel->grab().toImage();
    const QLabel* line = v.window.Label(pendar::flLine1);
    ASSERT_TRUE(line->font().underline());
    const int left = line->x();
    const int width = QFontMetrics(line->font()).horizontalAdvance(text);
    int underlineRows = 0;
    for (int y = line->y(); y < std::min(line->y() + 2 * line->font().pixelSize(), shown.height()); ++y) {
        int inked = 0;
        for (int x = left; x < left + width; ++x)
            inked += shown.pixel(x, y) != blank.pixel(x, y);
        underlineRows += inked >= width * 9 / 10;
    }
    EXPECT_GE(underlineRows, 1) << "no row is inked from the first letter to the last";
}

TEST(FaceView, AFlushRepaintsTheImage)
{
    ViewWorld v;
    ASSERT_TRUE(v.Form().LoadPlainSkin());
    v.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v.window));
    TDibImage* image = v.window.MainImage();
    QTRY_VERIFY(!image->Modified());
    v.Form().MainDib().PSet(3, 3, 0x00FF00);
    EXPECT_TRUE(image->Modified());
    // Painted once the event loop ran: the paint takes the flag back.
    QTRY_VERIFY(!image->Modified());
    v.window.hide();
}

TEST(FaceView, ClicksOnTheCharacterAndItsLabels)
{
    ViewWorld v;
    v.skins.WriteSimpleSkin("Click", "CLICK1=jump.bmp,2\nYEAROFFX=0\nYEAROFFY=0\n");
    v.skins.Write("Click", "jump.bmp", TestPicture(40, 30, 0x123456).Bmp());
    ASSERT_TRUE(v.Form().OpenSkin("Click"));
    RecordingDialogs dialogs;
    v.Form().SetDialogWindows(&dialogs);

    QTest::mouseClick(v.window.MainImage(), Qt::LeftButton);
    EXPECT_EQ(2, v.Form().Mode());
    // Of the labels only the time opens the calendar on a double click.
    QTest::mouseDClick(v.window.Label(pendar::flYear), Qt::LeftButton);
    EXPECT_EQ(0, dialogs.calendars);
    QTest::mouseDClick(v.window.Label(pendar::flTime), Qt::LeftButton);
    EXPECT_EQ(1, dialogs.calendars);
    QTest::mouseDClick(v.window.MainImage(), Qt::LeftButton);
    EXPECT_EQ(2, dialogs.calendars);
    v.Form().SetDialogWindows(nullptr);
}

TEST(ZoPanel, PaintsNothingOfItsOwnUnlessAsked)
{
    QWidget parent;
    parent.resize(20, 20);
    parent.setAutoFillBackground(true);
    QPalette red;
    red.setColor(QPalette::Window, Qt::red);
    parent.setPalette(red);
    TZoPanel* panel = new TZoPanel(&parent);
    panel->setGeometry(0, 0, 20, 20);
    QPalette blue;
    blue.setColor(QPalette::Window, Qt::blue);
    panel->setPalette(blue);
    EXPECT_EQ(QString(" "), panel->Caption());
    EXPECT_FALSE(panel->EraseBkGnd());
    EXPECT_EQ(QColor(Qt::red), parent.grab().toImage().pixelColor(10, 10));
    panel->SetEraseBkGnd(true);
    EXPECT_EQ(QColor(Qt::blue), parent.grab().toImage().pixelColor(10, 10));

    int painted = 0;
    panel->OnUserPaint = [&](TZoPanel* sender, QPaintEvent*) {
        ++painted;
        QPainter(sender).fillRect(sender->rect(), Qt::green);
    };
    EXPECT_EQ(QColor(Qt::green), parent.grab().toImage().pixelColor(10, 10));
    EXPECT_GE(painted, 1);

    std::vector<std::string> moves;
    panel->OnMouseEnter = [&](TZoPanel*) { moves.push_back("enter"); };
    panel->OnMouseLeave = [&](TZoPanel*) { moves.push_back("leave"); };
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(panel, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(panel, &leave);
    EXPECT_EQ((std::vector<std::string>{"enter", "leave"}), moves);
}

} // namespace
