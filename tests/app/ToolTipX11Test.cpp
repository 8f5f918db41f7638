// On a real X server with a window manager: the character's name shows
// over it while another window is the active one, as a desktop's windows
// almost always are, with the pointer moved by xdotool.
#include "FaceForm.h"
#include "app_qt/DibImage.h"
#include "app_qt/MainWindow.h"
#include "base/Sjis.h"
#include "support/DesktopDriving.h"

#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

using pendar::test::WaitFor;
using pendar::test::Xdotool;

TEST(CharacterName, ShowsOverTheCharacterWhileAnotherWindowIsActive)
{
    pendar::MainWindow window;
    pendar::test::SkinWorld skins{&window};
    window.Attach(skins.form);
    ASSERT_TRUE(skins.form.LoadPlainSkin());
    window.SetHints(skins.form.SkinInfo().name);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QWidget other;
    other.setWindowTitle("other");
    other.setGeometry(600, 100, 200, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    ASSERT_TRUE(Xdotool({"windowactivate", "--sync", QString::number(other.winId())}));
    ASSERT_TRUE(WaitFor([&] { return other.isActiveWindow(); }));
    ASSERT_FALSE(window.isActiveWindow());

    // The pointer rests on the middle of the character, placed relative to
    // the window as the server has it (the window may still be moving into
    // its place); it is put there again now and then, with time to rest.
    const QWidget* character = window.MainImage();
    const QPoint inside = character->mapTo(&window, character->rect().center());
    const QString id = QString::number(window.winId());
    int tick = 0;
    EXPECT_TRUE(WaitFor(
        [&] {
            if (tick++ % 75 == 0)
                Xdotool({"mousemove", "--window", id, QString::number(inside.x() + tick % 2),
                         QString::number(inside.y())});
            return QToolTip::isVisible();
        },
        750))
        << "no tooltip over an inactive window";
    EXPECT_EQ(QString::fromUtf8("無地"), QToolTip::text());
    EXPECT_FALSE(window.isActiveWindow());
}

} // namespace
