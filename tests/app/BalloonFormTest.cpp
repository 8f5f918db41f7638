// The balloon on the main window: a press turns the page unless it brought
// the window forward, and the greeting and the version text reach the
// balloon's lines through the real message store.
#include "FaceForm.h"
#include "TestForm.h"
#include "app/FormBalloon.h"
#include "app/MessageStore.h"
#include "base/Sjis.h"

#include <gtest/gtest.h>

namespace {

using pendar::test::FormFixture;

TEST(BalloonPress, AnActivatingClickTurnsNoPage)
{
    FormFixture f;
    f.form.SetFlashCount(40);
    f.form.MesImageMouseDown(true);
    EXPECT_EQ(1, f.world.messages.pagesTurned);
    EXPECT_EQ(0, f.form.FlashCount());

    f.form.SetActivationClick();
    f.form.MesImageMouseDown(true);
    EXPECT_EQ(1, f.world.messages.pagesTurned) << "the click that activated the window";
    f.form.MesImageMouseDown(true);
    EXPECT_EQ(2, f.world.messages.pagesTurned) << "the flag lasts for one press";

    // A press on the character clears it too.
    f.form.SetActivationClick();
    f.form.MainImageMouseDown(true, 10, 10);
    f.form.MainImageMouseUp(true);
    f.form.MesImageMouseDown(true);
    EXPECT_EQ(3, f.world.messages.pagesTurned);

    f.form.MesImageMouseDown(false);
    EXPECT_EQ(3, f.world.messages.pagesTurned) << "only the left button reads on";
}

// A form with the plain skin whose messages go through a real store.
struct StoredBalloon {
    pendar::test::RecordingWorld world;
    pendar::test::TempDir dir;
    pendar::TMessageStore store;
    pendar::test::FaceForm form{{world.clock, world.clockSetter, world.boxes, world.view, store, world.tray,
                                 world.tracker, world.random, world.priority, world.log, dir.File("Pendar.ini")}};
    pendar::TFormBalloon balloon{form};

    StoredBalloon()
    {
        form.CreatePictureBuffers();
        store.SetBalloon(&balloon);
        EXPECT_TRUE(form.LoadPlainSkin());
    }
    const pendar::TFaceLabel& Line(int i) const
    {
        return form.Face().labels[static_cast<size_t>(pendar::flLine1 + i)];
    }
};

TEST(BalloonPress, GreetingThenVersionText)
{
    StoredBalloon b;
    b.form.Settings().emphasis = true;
    b.form.StartupWork();
    EXPECT_TRUE(b.form.Face().mesVisible);
    EXPECT_EQ(b.form.SkinInfo().startMes, b.Line(0).text);
    EXPECT_FALSE(b.Line(0).font.italic) << "the greeting is transient: never emphasised";

    b.form.SysAboutClick();
    EXPECT_EQ("SorelPendar", b.Line(0).text);
    EXPECT_EQ("  Ver 1.22", b.Line(1).text);
    // Broken where a reader breaks it, not where the balloon's 20 bytes end.
    EXPECT_EQ(Sjis("  デスクトップの"), b.Line(2).text);
    EXPECT_EQ(Sjis("  マスコット時計"), b.Line(3).text);
    EXPECT_TRUE(b.Line(0).font.italic);
    EXPECT_TRUE(b.Line(3).font.underline);

    // Read to the end: the greeting it replaced does not come back.
    for (int i = 0; i < 4 && b.form.Face().mesVisible; ++i)
        b.form.MesImageMouseDown(true);
    EXPECT_FALSE(b.form.Face().mesVisible);
    EXPECT_EQ(-1, b.store.Current());
}

} // namespace
