// The clock labels, the animations stepped by the tick on the fake clock,
// the click animation, and the window shape with and without the balloon.
#include "FaceForm.h"
#include "base/Sjis.h"

#include <gtest/gtest.h>

namespace {

using pendar::test::Balloon;
using pendar::test::Character;
using pendar::test::kKey;
using pendar::test::SkinWorld;
using pendar::test::TestPicture;

// A strip of `frames` frames of 20 x 30, frame i's body in colour `colour + i`.
TestPicture Strip(int frames, uint32_t colour)
{
    TestPicture p(20 * frames, 30, kKey);
    for (int i = 0; i < frames; ++i)
        p.Fill(20 * i + 5, 5, 10, 20, colour + static_cast<uint32_t>(i));
    return p;
}

TSchTime At(int year, int month, int day, int hour, int minute)
{
    TSchTime t;
    TDate date{year, month, day};
    TTimeOfDay time{hour, minute};
    SetTime(t, &date, &time);
    return t;
}

const char* kAllLabels = "YEAROFFX=0\nYEAROFFY=0\nDATEOFFX=0\nDATEOFFY=1\nWEEKOFFX=0\nWEEKOFFY=2\nTIMEOFFX=0\n"
                         "TIMEOFFY=3\nCLOCKCOLOR=#000001\nSUNCOLOR=#000002\nSATCOLOR=#000003\n";

TEST(UpdateClock, TextsAndColoursOfTheFourLabels)
{
    SkinWorld w;
    w.WriteSimpleSkin("Clock", kAllLabels);
    ASSERT_TRUE(w.form.OpenSkin("Clock"));
    const uint32_t sun = 0x02020000u, sat = 0x02030000u;
    const struct {
        TSchTime t;
        const char *year, *date, *week, *time;
        uint32_t dayColour;
    } cases[] = {
        {At(2024, 2, 3, 9, 5), "2024", " 2/ 3", "(Sat)", " 9:05", sat},
        {At(2024, 2, 4, 0, 0), "2024", " 2/ 4", "(Sun)", " 0:00", sun},
        {At(2024, 12, 16, 23, 59), "2024", "12/16", "(Mon)", "23:59", 0x02010000u},
        // New Year's Day 2025 is a Wednesday and a public holiday.
        {At(2025, 1, 1, 12, 30), "2025", " 1/ 1", "(Wed)", "12:30", sun},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        w.form.UpdateClock(c.t);
        const pendar::TFace& f = w.form.Face();
        EXPECT_EQ(c.year, f.Label(pendar::flYear).text);
        EXPECT_EQ(c.date, f.Label(pendar::flDate).text);
        EXPECT_EQ(c.week, f.Label(pendar::flWeek).text);
        EXPECT_EQ(c.time, f.Label(pendar::flTime).text);
        EXPECT_EQ(c.dayColour, f.Label(pendar::flDate).font.color);
        EXPECT_EQ(c.dayColour, f.Label(pendar::flWeek).font.color);
        EXPECT_EQ(0x02010000u, f.Label(pendar::flYear).font.color);
        EXPECT_EQ(0x02010000u, f.Label(pendar::flTime).font.color);
    }
}

TEST(UpdateClock, AHiddenLabelKeepsItsText)
{
    SkinWorld w;
    w.WriteSimpleSkin("Clock", "YEAROFFX=-1\nYEAROFFY=4\nDATEOFFX=3\n");
    ASSERT_TRUE(w.form.OpenSkin("Clock"));
    w.form.UpdateClock(At(2024, 2, 3, 9, 5));
    const pendar::TFace& f = w.form.Face();
    EXPECT_FALSE(f.Label(pendar::flYear).visible);
    EXPECT_FALSE(f.Label(pendar::flDate).visible); // its Y is still -1
    EXPECT_EQ("", f.Label(pendar::flYear).text);
    EXPECT_EQ("", f.Label(pendar::flDate).text);
    EXPECT_EQ(" 9:05", f.Label(pendar::flTime).text);
}

// A skin "Sorel" with a 4-frame strip of delay 2, opened by FormCreate.
struct AnimatedSkin : SkinWorld {
    explicit AnimatedSkin(const std::string& more = "")
    {
        WriteSimpleSkin("Sorel", "PICTURE2=other.bmp\nANIME1=walk.bmp,4,2\nCLICK1=jump.bmp,2\n" + more);
        Write("Sorel", "other.bmp", Character(0x00AA00).Bmp());
        Write("Sorel", "walk.bmp", Strip(4, 0x101000).Bmp());
        Write("Sorel", "jump.bmp", Strip(2, 0x202000).Bmp());
        form.FormCreate();
    }
    uint32_t Shown() { return form.MainDib().PGet(10, 10); }
    void Tick(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i) {
            world.clock.AdvanceMs(TMainForm::kTickMs);
            form.CheckTimerTimer();
        }
    }
};

TEST(Animation, FourFramesWithDelayTwoTake600MsEachThenARandomPicture)
{
    AnimatedSkin w;
    ASSERT_TRUE(w.world.boxes.boxes.empty());
    w.form.StartAnime(0, 1);
    ASSERT_TRUE(w.form.AnimationRunning());
    std::vector<uint32_t> shown;
    // The picture shown at the start of each 200 ms tick, for 2.4 s.
    for (int tick = 0; tick < 12; ++tick) {
        shown.push_back(w.Shown());
        w.Tick();
    }
    std::vector<uint32_t> expected;
    for (uint32_t frame = 0; frame < 4; ++frame)
        expected.insert(expected.end(), 3, 0x101000 + frame);
    EXPECT_EQ(expected, shown);
    // After 2.4 s the animation is over; the random source chose picture 0.
    EXPECT_FALSE(w.form.AnimationRunning());
    EXPECT_EQ(0x3366CCu, w.Shown());
    EXPECT_EQ(4, w.form.IdleCountdown());
    // The next idle action comes a second later: it starts the animation.
    w.world.random.values = {0, 0, 0};
    w.Tick(4);
    EXPECT_FALSE(w.form.AnimationRunning());
    w.Tick();
    EXPECT_TRUE(w.form.AnimationRunning());
    EXPECT_TRUE(w.world.random.values.empty());
}

TEST(Animation, RepeatsAndTheRegionFollowTheFrame)
{
    AnimatedSkin w;
    w.world.random.values = {1}; // the picture after the last repeat
    w.form.StartAnime(0, 2);
    w.Tick(12);
    EXPECT_TRUE(w.form.AnimationRunning());
    EXPECT_EQ(0x101000u, w.Shown());
    w.Tick(12);
    EXPECT_FALSE(w.form.AnimationRunning());
    EXPECT_EQ(1, w.form.Index());
    EXPECT_EQ(0x00AA00u, w.Shown());
    EXPECT_TRUE(w.form.CharacterRegion()->Contains(5, 5));
    EXPECT_FALSE(w.form.CharacterRegion()->Contains(4, 5));
}

TEST(Animation, AStripIsDecodedOnlyWhileItPlays)
{
    AnimatedSkin w;
    using F = pendar::test::FaceForm;
    EXPECT_FALSE(w.form.HoldsStrip(F::amAnime, 0)) << "checked at opening, then let go";
    EXPECT_FALSE(w.form.HoldsStrip(F::amClick, 0));
    w.form.StartAnime(0, 1);
    EXPECT_TRUE(w.form.HoldsStrip(F::amAnime, 0));
    EXPECT_EQ(0x101000u, w.Shown());
    w.Tick(12);
    ASSERT_FALSE(w.form.AnimationRunning());
    EXPECT_FALSE(w.form.HoldsStrip(F::amAnime, 0));

    // A click interrupts the animation: the one strip goes, the other comes.
    w.form.StartAnime(0, 1);
    w.form.MainImageClick();
    EXPECT_EQ(2, w.form.Mode());
    EXPECT_FALSE(w.form.HoldsStrip(F::amAnime, 0));
    EXPECT_TRUE(w.form.HoldsStrip(F::amClick, 0));
    EXPECT_EQ(0x202000u, w.Shown());

    // A strip whose file changed its size since the skin opened is not
    // played; one that was only repainted is.
    w.Write("Sorel", "walk.bmp", Strip(5, 0x101000).Bmp());
    w.form.StartAnime(0, 1);
    EXPECT_FALSE(w.form.AnimationRunning());
    EXPECT_FALSE(w.form.HoldsStrip(F::amAnime, 0));
    EXPECT_FALSE(w.form.HoldsStrip(F::amClick, 0));
    w.Write("Sorel", "walk.bmp", Strip(4, 0x303000).Bmp());
    w.form.StartAnime(0, 1);
    EXPECT_TRUE(w.form.AnimationRunning());
    EXPECT_EQ(0x303000u, w.Shown());
}

TEST(IdleAction, PicturesAnimationsAndVoicesByChance)
{
    AnimatedSkin w("RANDOMWAV1=r1.wav\nRANDOMWAV2=r2.wav\n");
    const struct {
        const char* what;
        std::deque<int> random;
        int mode;
        int index;
        std::vector<std::string> played;
    } cases[] = {
        {"nothing nine times in ten", {3, 1}, 0, 0, {}},
        {"another picture", {10, 1, 1, 1}, 0, 1, {}},
        {"an animation", {20, 4, 0, 1}, 1, 0, {}},
        {"a random voice", {1, 40, 3}, 0, 0, {"r2.wav"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AnimatedSkin fresh("RANDOMWAV1=r1.wav\nRANDOMWAV2=r2.wav\n");
        fresh.world.random.values = c.random;
        fresh.form.IdleAction();
        EXPECT_EQ(c.mode, fresh.form.Mode());
        EXPECT_EQ(c.index, fresh.form.Index());
        EXPECT_EQ(c.played, fresh.form.played);
        EXPECT_TRUE(fresh.world.random.values.empty());
    }
    // With random voices off nothing plays, and the event voices are not
    // touched by this switch.
    w.form.Settings().randomWav = false;
    w.world.random.values = {1, 0, 1};
    w.form.IdleAction();
    EXPECT_TRUE(w.form.played.empty());
}

TEST(IdleAction, TheStripLayoutPlaysItsOwnAnimations)
{
    SkinWorld w;
    TestPicture strip(42 * 4, 6, kKey);
    strip.Fill(0, 1, 42 * 4, 4, 0x445566);
    w.Write("Strip", "Info.ini", "PICTURE1=strip.bmp\nQUENTILFLAG=2\nCLICK1=c.bmp\n");
    w.Write("Strip", "strip.bmp", strip.Bmp());
    w.Write("Strip", "c.bmp", Character().Bmp());
    w.Write("Strip", "Fukidasi.bmp", Balloon().Bmp());
    ASSERT_TRUE(w.form.OpenSkin("Strip"));
    w.world.random.values = {0, 4};
    w.form.IdleAction();
    EXPECT_EQ(1, w.form.Mode());
    EXPECT_EQ(3, w.form.Index());
    w.world.random.values = {0, 5};
    w.form.IdleAction();
    EXPECT_EQ(0, w.form.Index());

    // A click does nothing in the strip layout; a new message makes the
    // character talk (animation 1, ten times over its two frames).
    w.form.MainImageClick();
    EXPECT_EQ(1, w.form.Mode());
    w.form.StartTalking();
    EXPECT_EQ(1, w.form.Index());
    for (int i = 0; i < 19; ++i)
        w.form.StepAnimation();
    EXPECT_TRUE(w.form.AnimationRunning());
    w.form.StepAnimation();
    EXPECT_FALSE(w.form.AnimationRunning());
}

TEST(MainImageClick, PlaysAClickAnimationThatAnotherClickDoesNotInterrupt)
{
    AnimatedSkin w;
    w.form.StartAnime(0, 1);
    w.form.MainImageClick(); // interrupts the idle animation
    EXPECT_EQ(2, w.form.Mode());
    EXPECT_EQ(0x202000u, w.Shown());
    w.Tick(1);
    EXPECT_EQ(0x202001u, w.Shown());
    w.world.random.values = {7};
    w.form.MainImageClick();
    EXPECT_EQ(0x202001u, w.Shown());
    EXPECT_EQ(1u, w.world.random.values.size()); // not even asked
    w.Tick(1);
    EXPECT_FALSE(w.form.AnimationRunning());

    // Without click animations a click does nothing.
    SkinWorld plain;
    plain.WriteSimpleSkin("Plain");
    ASSERT_TRUE(plain.form.OpenSkin("Plain"));
    plain.form.MainImageClick();
    EXPECT_FALSE(plain.form.AnimationRunning());
}

TEST(WindowShape, TheBalloonJoinsTheCharacterWhileItShows)
{
    SkinWorld w;
    w.WriteSimpleSkin("Shape", "MESOFFSETY=4\nMESOFFSETRX=30\n");
    ASSERT_TRUE(w.form.OpenSkin("Shape"));
    const pendar::TFace& face = w.form.Face();
    pendar::TRegion character = *w.form.CharacterRegion();
    character.Offset(face.mainPanel.left, face.mainPanel.top);
    EXPECT_EQ(character, face.windowShape);

    w.form.ShowBalloonLines({Sjis("こんにちは"), "", "", ""}, false);
    EXPECT_TRUE(face.mesVisible);
    EXPECT_EQ(Sjis("こんにちは"), face.Label(pendar::flLine1).text);
    pendar::TRegion balloon = *w.form.BalloonRegion(false);
    balloon.Offset(face.mesPanel.left, face.mesPanel.top);
    EXPECT_EQ(character.United(balloon), face.windowShape);
    EXPECT_EQ(*w.form.BalloonRegion(false), face.mesShape);

    // On the right the balloon is mirrored: picture, shape and place.
    w.form.SetBalloonSide(1);
    EXPECT_EQ((port::TRect{40 + 20 - 30, 24, 40 + 20 - 30 + 40, 44}), face.mesPanel);
    pendar::TRegion mirrored = *w.form.BalloonRegion(true);
    EXPECT_EQ(mirrored, face.mesShape);
    mirrored.Offset(face.mesPanel.left, face.mesPanel.top);
    EXPECT_EQ(character.United(mirrored), face.windowShape);
    EXPECT_NE(*w.form.BalloonRegion(false), *w.form.BalloonRegion(true));

    w.form.ShowBalloonLines({"a", "b", "c", "d"}, true);
    EXPECT_TRUE(face.Label(pendar::flLine4).font.italic);
    EXPECT_TRUE(face.Label(pendar::flLine4).font.underline);
    w.form.HideBalloon();
    EXPECT_FALSE(face.mesVisible);
    EXPECT_EQ(character, face.windowShape);
}

// A balloon whose tail takes room on one side: on the right, mirrored, its
// lines move with its body instead of keeping their distance from the
// picture's left edge.
TEST(WindowShape, TheLinesKeepTheirPlaceInTheMirroredBalloonsBody)
{
    SkinWorld w;
    TestPicture tailed(100, 60, kKey);
    tailed.Fill(4, 0, 76, 60, 0xFFFFEE);  // the body: columns 4 to 79
    tailed.Fill(80, 50, 20, 10, 0xFFFFEE); // the tail, below the lines' rows
    w.WriteSimpleSkin("Tail", "MESSIZE=8\n");
    w.Write("Tail", "Fukidasi.bmp", tailed.Bmp());
    ASSERT_TRUE(w.form.OpenSkin("Tail"));
    const pendar::TFace& face = w.form.Face();
    // x = (100 - 10 * 8) / 2: 6 columns from the body's left edge.
    for (int i = pendar::flLine1; i <= pendar::flLine4; ++i)
        EXPECT_EQ(10, face.labels[static_cast<size_t>(i)].left);
    // Mirrored, the body spans columns 20 to 95: the lines start 6 columns in.
    w.form.SetBalloonSide(1);
    for (int i = pendar::flLine1; i <= pendar::flLine4; ++i)
        EXPECT_EQ(26, face.labels[static_cast<size_t>(i)].left);
    w.form.SetBalloonSide(0);
    EXPECT_EQ(10, face.Label(pendar::flLine1).left);

    // A balloon as wide on both sides keeps its lines where they are.
    SkinWorld plain;
    TestPicture even(40, 20, kKey);
    even.Fill(2, 2, 36, 16, 0xFFFFEE);
    plain.WriteSimpleSkin("Plain");
    plain.Write("Plain", "Fukidasi.bmp", even.Bmp());
    ASSERT_TRUE(plain.form.OpenSkin("Plain"));
    const int left = plain.form.Face().Label(pendar::flLine1).left;
    plain.form.SetBalloonSide(1);
    EXPECT_EQ(left, plain.form.Face().Label(pendar::flLine1).left);
}

TEST(WindowShape, TheMirroredBalloonPictureIsDrawnReversed)
{
    SkinWorld w;
    TestPicture asymmetric(40, 20, kKey);
    asymmetric.Fill(1, 1, 10, 18, 0x0000AA);
    asymmetric.Fill(11, 1, 28, 18, 0xFFFFEE);
    w.WriteSimpleSkin("Mirror");
    w.Write("Mirror", "Fukidasi.bmp", asymmetric.Bmp());
    ASSERT_TRUE(w.form.OpenSkin("Mirror"));
    EXPECT_EQ(0x0000AAu, w.form.MesDib().PGet(2, 5));
    w.form.SetBalloonSide(1);
    EXPECT_EQ(0x0000AAu, w.form.MesDib().PGet(37, 5));
    EXPECT_EQ(0xFFFFEEu, w.form.MesDib().PGet(2, 5));
    EXPECT_FALSE(w.form.MesDib().Reverse());
}

} // namespace
