// pendar-tool skin check and render, run as programs on the sample skin and
// on small skins written by the test.
#include "app/FaceForm.h"
#include "port/Cp932.h"
#include "support/RunTool.h"

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace {

using pendar::test::Character;
using pendar::test::RunTool;
using pendar::test::SkinWorld;
using pendar::test::TestPicture;

bool HasLine(const std::string& out, const std::string& line)
{
    return ("\n" + out).find("\n" + line + "\n") != std::string::npos;
}

TEST(SkinCheck, DescribesTheSampleSkin)
{
    auto run = RunTool({"skin", "check", SOREL_PAK});
    ASSERT_EQ(0, run.exitCode) << run.err;
    for (const char* line : {"NAME=ソレル\\nPendar の見本キャラクター", "ALIGN=BOTTOM", "ONTOP=OFF", "QUENTILFLAG=0",
                             "PICTURE1=Sorel1.bmp", "ANIME1=Blink.bmp,4,0", "CLICK2=Giggle.bmp,4,0",
                             "CLOCKFONT=ＭＳ ゴシック", "CLOCKCOLOR=#4A2C17", "MESOFFSETLX=44", "MESOFFSETY=-30",
                             "STARTMES=こんにちは、\\nソレルです。\\n今日もよろしくね！", "pictures 3", "animations 3",
                             "clicks 2", "randomwavs 3", "picture1 168x206", "balloon 232x122"})
        EXPECT_TRUE(HasLine(run.out, line)) << line << "\n" << run.out;
}

TEST(SkinCheck, PrintsEveryKeyOfAFolderSkinInOrder)
{
    SkinWorld w;
    w.WriteSimpleSkin("Mine", "ANIME1=walk.bmp,2,3\nRANDOMWAV1=a.wav\nCLOCKCOLOR=#FF8000\n");
    w.Write("Mine", "walk.bmp", TestPicture(40, 30, 0x102030).Bmp());
    auto run = RunTool({"skin", "check", w.SkinFolder("Mine")});
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ(0u, run.out.find("NAME=Simple\nALIGN=BOTTOM\nONTOP=OFF\nQUENTILFLAG=0\nPICTUREOFFX=0\n"));
    EXPECT_TRUE(HasLine(run.out, "ANIME1=walk.bmp,2,3"));
    EXPECT_TRUE(HasLine(run.out, "ANIME2="));
    EXPECT_TRUE(HasLine(run.out, "CLOCKCOLOR=#FF8000"));
    EXPECT_TRUE(HasLine(run.out, "RANDOMWAV10="));
    EXPECT_NE(std::string::npos,
              run.out.find("pictures 1\nanimations 1\nclicks 0\nrandomwavs 1\npicture1 20x30\nballoon 40x20\n"));
    EXPECT_EQ(std::string::npos, run.out.find("MESOFFSETX="));
}

// Small skins as a skin author writes them: what the check prints for
// each, the lines that must be there or, for a skin that fails, the box's
// text and then the file and reason.
TEST(SkinCheck, FixtureSkinsAndWhatTheCheckSays)
{
    struct Case {
        const char* what;
        std::string info; // more Info.ini lines for the simple skin (UTF-8)
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<std::string> lines; // lines of the output (success)
        std::string error;              // standard error (failure)
    } cases[] = {
        {"double-byte characters ending in 0x5C are kept whole",
         "NAME=予nX\\nソ\nSTARTMES=\"能n\\n十n\"\n",
         {},
         {"NAME=予nX\\nソ", "STARTMES=能n\\n十n"},
         ""},
        {"a strip of 42 cells wider than a window takes",
         "QUENTILFLAG=3\nPICTURE1=strip.bmp\n",
         {{"strip.bmp", TestPicture(42 * 400, 2, 0x102030).Bmp()}},
         {"picture1 400x2", "animations 4"},
         ""},
        {"an animation of two frames wider than a window takes",
         "ANIME1=wide.bmp,2\n",
         {{"wide.bmp", TestPicture(2 * 9000, 2, 0x102030).Bmp()}},
         {"ANIME1=wide.bmp,2,0", "animations 1"},
         ""},
        {"a picture wider than a window",
         "PICTURE2=wide.bmp\n",
         {{"wide.bmp", TestPicture(16385, 1, 0).Bmp()}},
         {},
         "初期化に失敗しました。\nwide.bmp: 16385 x 1 is more than 16384 pixels on a side\n"},
        {"a missing picture", "PICTURE1=gone.bmp\n", {}, {},
         "初期化に失敗しました。\ngone.bmp: not found\n"},
        {"a balloon that is no picture",
         "",
         {{"Fukidasi.bmp", std::string(60, '\0')}},
         {},
         "メッセージウィンドウの初期化に失敗しました。\nFukidasi.bmp: 0-bit pictures are not supported (8 or 24 bits "
         "only)\n"},
        {"no PICTURE1", "PICTURE1=\n", {}, {}, "設定ファイルの読み込みに失敗しました。\nInfo.ini: PICTURE1 is missing\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SkinWorld w;
        w.WriteSimpleSkin("Mine", port::Utf8ToCp932(c.info));
        for (const auto& [name, bytes] : c.files)
            w.Write("Mine", name, bytes);
        auto run = RunTool({"skin", "check", w.SkinFolder("Mine")});
        if (!c.error.empty()) {
            EXPECT_EQ(1, run.exitCode);
            EXPECT_EQ(c.error, run.err);
            EXPECT_EQ("", run.out);
            continue;
        }
        ASSERT_EQ(0, run.exitCode) << run.err;
        for (const std::string& line : c.lines)
            EXPECT_TRUE(HasLine(run.out, line)) << line << "\n" << run.out;
    }

    auto missing = RunTool({"skin", "check", "/nonexistent/nothing.Pak"});
    EXPECT_EQ(1, missing.exitCode);
    EXPECT_EQ("/nonexistent/nothing.Pak: no such skin folder or pack\n", missing.err);
    EXPECT_EQ(2, RunTool({"skin"}).exitCode);
    EXPECT_EQ(2, RunTool({"skin", "look", "x"}).exitCode);
}

TEST(Render, TheCharacterWithItsClockTransparentOutsideItsShape)
{
    SkinWorld w;
    TestPicture body(80, 40, pendar::test::kKey);
    body.Fill(0, 10, 80, 30, 0xFFFFFF);
    w.Write("Clock", "Info.ini", "PICTURE1=body.bmp\nTIMEOFFX=4\nTIMEOFFY=12\nCLOCKSIZE=16\nCLOCKCOLOR=#000000\n");
    w.Write("Clock", "body.bmp", body.Bmp());
    w.Write("Clock", "Fukidasi.bmp", pendar::test::Balloon().Bmp());
    const std::string out = w.dir.File("clock.png");
    auto run = RunTool({"render", w.SkinFolder("Clock"), "--time", "2024-02-03 09:05", "--out", out});
    ASSERT_EQ(0, run.exitCode) << run.err;
    QImage png(QString::fromStdString(out));
    ASSERT_EQ(QSize(80, 40), png.size());
    EXPECT_EQ(0, qAlpha(png.pixel(2, 2)));   // the key colour
    EXPECT_EQ(255, qAlpha(png.pixel(2, 38)));
    // The time " 9:05" is drawn in black on the white body.
    int dark = 0;
    for (int y = 12; y < 28; ++y)
        for (int x = 4; x < 48; ++x)
            dark += qGray(png.pixel(x, y)) < 100;
    EXPECT_GT(dark, 20);
    // Nothing is written where the time is not.
    for (int y = 30; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(qRgba(255, 255, 255, 255), png.pixel(x, y)) << x << "," << y;
}

TEST(Render, RefusesWhatItCannotDraw)
{
    SkinWorld w;
    const std::string out = w.dir.File("x.png");
    for (const char* time : {"2024-02-30 09:05", "2024-02-03 24:00", "2024-2-3 9:05", "yesterday"})
        EXPECT_EQ(2, RunTool({"render", SOREL_PAK, "--time", time, "--out", out}).exitCode) << time;
    EXPECT_EQ(2, RunTool({"render", SOREL_PAK, "--out", out}).exitCode);
    auto broken = RunTool({"render", w.dir.File("none"), "--time", "2024-02-03 09:05", "--out", out});
    EXPECT_EQ(1, broken.exitCode);
    auto sample = RunTool({"render", SOREL_PAK, "--time", "2024-02-03 09:05", "--out", out});
    EXPECT_EQ(0, sample.exitCode) << sample.err;
    EXPECT_EQ(QSize(168, 206), QImage(QString::fromStdString(out)).size());
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Reading PNG files needs the image plugins, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
