// Info.ini line by line: every kind of key, the numbered keys, quoting,
// and lines that must change nothing.
#include "app/SkinKeys.h"
#include "app/SkinParse.h"
#include "base/Sjis.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct LineCase {
    const char* what;
    std::vector<std::string> lines;
    std::function<void(const TSkinInfo&)> check;
};

TSkinInfo Parsed(const std::vector<std::string>& lines)
{
    TSkinInfo skin;
    for (const std::string& line : lines)
        ParseSkinLine(skin, line);
    return skin;
}

TEST(ParseSkinLine, AppliesEachKindOfKey)
{
    const TSkinInfo defaults;
    const std::vector<LineCase> cases = {
        {"align in any case", {"align=winleft"}, [](const TSkinInfo& s) { EXPECT_EQ(alWinLeft, s.align); }},
        {"an unknown align word keeps the value", {"ALIGN=TOP", "ALIGN=middle"},
         [](const TSkinInfo& s) { EXPECT_EQ(alTop, s.align); }},
        {"ontop on", {"OnTop=on"}, [](const TSkinInfo& s) { EXPECT_EQ(1, s.onTop); }},
        {"ontop anything else is off", {"ONTOP=yes"}, [](const TSkinInfo& s) { EXPECT_EQ(0, s.onTop); }},
        {"a strip with frames and delay", {"ANIME2=walk.bmp,4,2"},
         [](const TSkinInfo& s) {
             EXPECT_EQ("walk.bmp", s.animes[1].file);
             EXPECT_EQ(4, s.animes[1].frames);
             EXPECT_EQ(2, s.animes[1].delay);
         }},
        {"a strip alone is one frame without delay", {"ANIME2=walk.bmp,4,2", "ANIME2=walk.bmp"},
         [](const TSkinInfo& s) {
             EXPECT_EQ(1, s.animes[1].frames);
             EXPECT_EQ(0, s.animes[1].delay);
         }},
        {"a strip with frames only", {"CLICK1=jump.bmp,3"},
         [](const TSkinInfo& s) {
             EXPECT_EQ("jump.bmp", s.clicks[0].file);
             EXPECT_EQ(3, s.clicks[0].frames);
             EXPECT_EQ(0, s.clicks[0].delay);
         }},
        {"a bad frame count keeps the file and stops", {"ANIME1=a.bmp,x,5"},
         [](const TSkinInfo& s) {
             EXPECT_EQ("a.bmp", s.animes[0].file);
             EXPECT_EQ(1, s.animes[0].frames);
             EXPECT_EQ(0, s.animes[0].delay);
         }},
        {"a bad delay keeps the frames", {"ANIME1=a.bmp,6,z"},
         [](const TSkinInfo& s) {
             EXPECT_EQ(6, s.animes[0].frames);
             EXPECT_EQ(0, s.animes[0].delay);
         }},
        {"a colour with #", {"CLOCKCOLOR=#FF8000"},
         [](const TSkinInfo& s) { EXPECT_EQ(0x020080FFu, s.clockColor); }},
        {"a colour without # is ignored", {"CLOCKCOLOR=FF8000"},
         [&](const TSkinInfo& s) { EXPECT_EQ(defaults.clockColor, s.clockColor); }},
        {"a lone # is ignored", {"SATCOLOR=#"}, [&](const TSkinInfo& s) { EXPECT_EQ(kColorBlue, s.satColor); }},
        {"integers, negative too", {"CLOCKSIZE=20", "YEAROFFX=-5", "PICTUREOFFY=+7"},
         [](const TSkinInfo& s) {
             EXPECT_EQ(20, s.clockSize);
             EXPECT_EQ(-5, s.yearOffX);
             EXPECT_EQ(7, s.pictureOffY);
         }},
        {"an integer that does not parse changes nothing", {"CLOCKSIZE=20", "CLOCKSIZE=2x", "MESSIZE=99999999999"},
         [](const TSkinInfo& s) {
             EXPECT_EQ(20, s.clockSize);
             EXPECT_EQ(24, s.mesSize);
         }},
        {"MESOFFSETX sets both sides", {"MESOFFSETX=12", "MESOFFSETRX=30"},
         [](const TSkinInfo& s) {
             EXPECT_EQ(12, s.mesOffsetLX);
             EXPECT_EQ(30, s.mesOffsetRX);
         }},
        {"texts are unquoted, voices taken as written", {"NAME=\"Sorel\"", "STARTWAV=\"hi.wav\""},
         [](const TSkinInfo& s) {
             EXPECT_EQ("Sorel", s.name);
             EXPECT_EQ("\"hi.wav\"", s.startWav);
         }},
        {"the value keeps its blanks and later '='", {"MESFONT= A=B "},
         [](const TSkinInfo& s) { EXPECT_EQ(" A=B ", s.mesFont); }},
        {"a later line wins", {"NAME=one", "name=two"}, [](const TSkinInfo& s) { EXPECT_EQ("two", s.name); }},
        {"pictures by number", {"PICTURE1=a.bmp", "PICTURE3=c.bmp", "PICTURE10=j.bmp"},
         [](const TSkinInfo& s) {
             EXPECT_EQ("a.bmp", s.pictures[0]);
             EXPECT_EQ("", s.pictures[1]);
             EXPECT_EQ("c.bmp", s.pictures[2]);
             EXPECT_EQ("j.bmp", s.pictures[9]);
         }},
        {"random voices by number", {"RANDOMWAV2=b.wav"}, [](const TSkinInfo& s) { EXPECT_EQ("b.wav", s.randomWavs[1]); }},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.what);
        c.check(Parsed(c.lines));
    }
}

TEST(ParseSkinLine, LinesThatChangeNothing)
{
    const std::vector<std::string> ignored = {
        "// NAME=comment", "X", "", "NAME", "NAME =spaced key", "PICTURE11=x.bmp", "PICTUREA=x.bmp",
        "PICTURE0=x.bmp", "PICTURE=x.bmp", "ANIME=x.bmp", "RANDOMWAV=x.wav", "UNKNOWN=1",
        std::string("NAME\0=x", 7), "CLICK-1=x.bmp",
    };
    const TSkinInfo defaults;
    for (const std::string& line : ignored) {
        SCOPED_TRACE(line);
        TSkinInfo s = Parsed({line});
        EXPECT_EQ(DescribeSkin(defaults), DescribeSkin(s));
    }
}

TEST(UnquoteValue, QuotesAndLineFeeds)
{
    const struct {
        std::string in, out;
    } cases[] = {
        {"\"Hello\\nWorld\"", "Hello\nWorld"},
        {"\"ab\"", "ab"},   // 4 bytes: the quotes go
        {"\"a\"", "\"a\""}, // 3 bytes: they stay
        {"\"", "\""},
        {"a\\n\\nb", "a\n\nb"},
        {"\\\\n", "\\\n"}, // no escape for the backslash itself: leftmost \n first
        {"\\t\\", "\\t\\"},
        {"\"open", "\"open"},
        {"", ""},
        // A double-byte character whose second byte is 0x5C starts no escape.
        {"\x97\x5cnX", "\x97\x5cnX"},                     // 予nX
        {"\x83\x5c\\nA", "\x83\x5c\nA"},                 // ソ, an escape, A
        {"\"\x94\x5cn\x8f\x5c\"", "\x94\x5cn\x8f\x5c"}, // "能n十"
        {"a\x83", "a\x83"},                                 // a lead byte cut off at the end
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.out, UnquoteValue(c.in)) << c.in;
}

TEST(SplitSkinLines, EveryLineEnd)
{
    std::vector<std::string_view> expected = {"a", "b", "c", "", "d"};
    EXPECT_EQ(expected, SplitSkinLines("a\r\nb\rc\n\nd"));
    EXPECT_EQ(std::vector<std::string_view>{"x"}, SplitSkinLines("x\r\n"));
}

TEST(FinishSkinInfo, FillsInWhatTheSkinLeftOpen)
{
    TSkinInfo s = Parsed({"ALIGN=WINBOTTOM", "MESOFFSETX=-3", "QUENTILFLAG=40", "ANIME1=a.bmp,0,-4",
                          "ANIME2=b.bmp", "ANIME4=d.bmp", "PICTURE1=p.bmp", "RANDOMWAV1=r.wav"});
    FinishSkinInfo(s);
    EXPECT_EQ(1, s.onTop); // window-relative places keep the character on top
    EXPECT_EQ(0, s.mesOffsetLX);
    EXPECT_EQ(0, s.mesOffsetRX);
    EXPECT_EQ(kMaxQuentilFrames, s.quentilFlag);
    EXPECT_EQ(1, s.animes[0].frames);
    EXPECT_EQ(0, s.animes[0].delay);
    EXPECT_EQ(2, s.animeCount); // ANIME4 after the gap is never used
    EXPECT_EQ(1, s.pictureCount);
    EXPECT_EQ(1, s.randomWavCount);

    TSkinInfo bottom = Parsed({"ALIGN=BOTTOM"});
    FinishSkinInfo(bottom);
    EXPECT_EQ(0, bottom.onTop);
    TSkinInfo told = Parsed({"ALIGN=WINTOP", "ONTOP=OFF"});
    FinishSkinInfo(told);
    EXPECT_EQ(0, told.onTop);
}

TEST(DescribeSkin, ReadsBackAsTheSameDescription)
{
    TSkinInfo s = Parsed({"NAME=\"Two\\nLines\"", "ALIGN=WINRIGHT", "ONTOP=ON", "CLOCKCOLOR=#123456",
                          "ANIME3=x.bmp,5,1", "PICTURE2=p.bmp", "MESOFFSETLX=9", "STARTWAV=s.wav"});
    FinishSkinInfo(s);
    TSkinInfo again;
    for (const auto& [key, value] : DescribeSkin(s)) {
        // Written back as Info.ini would hold it: line feeds as \n.
        std::string written;
        for (char c : value)
            written += c == '\n' ? std::string("\\n") : std::string(1, c);
        ParseSkinLine(again, key + "=" + written);
    }
    FinishSkinInfo(again);
    EXPECT_EQ(DescribeSkin(s), DescribeSkin(again));
    EXPECT_EQ("Two\nLines", again.name);
    EXPECT_EQ(0x02563412u, again.clockColor);
}

} // namespace
