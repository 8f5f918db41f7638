#include "mail/Pdjpcode.h"

#include "HexBytes.h"
#include "base/Sjis.h"
#include "port/Cp932.h"

#include <gtest/gtest.h>

namespace {

using pendar::test::Hex;

struct KanjiCase {
    const char* name;
    std::string input;
    int from;
    int to;
    bool crlf;
    std::string expected;
};

const std::string kIn = "\x1B$B";  // kanji in
const std::string kOut = "\x1B(B"; // kanji out

const KanjiCase kKanjiCases[] = {
    {"sjis to jis", Hex("82 A0"), kcSjis, kcJis, false, kIn + Hex("24 22") + kOut},
    {"sjis to euc", Hex("82 A0"), kcSjis, kcEuc, false, Hex("A4 A2")},
    {"jis to sjis", kIn + Hex("21 21") + kOut, kcJis, kcSjis, false, Hex("81 40")},
    {"kanji then a letter", Hex("8A BF 61"), kcSjis, kcJis, false, kIn + Hex("34 41") + kOut + "a"},
    {"unclosed jis to jis", kIn + Hex("24 22"), kcJis, kcJis, false, kIn + Hex("24 22") + kOut},
    {"unclosed jis to sjis", kIn + Hex("24 22"), kcJis, kcSjis, false, Hex("82 A0")},
    {"jis roman out", kIn + Hex("24 22") + "\x1B(Jx", kcJis, kcSjis, false, Hex("82 A0") + "x"},
    {"line ends to lf", "a\r\nb\rc\nd", kcSjis, kcSjis, false, "a\nb\nc\nd"},
    {"line ends to crlf", "a\r\nb\rc\nd", kcSjis, kcSjis, true, "a\r\nb\r\nc\r\nd"},
    {"euc half-width kana to sjis", Hex("8E B1"), kcEuc, kcSjis, false, Hex("83 41")},
    {"euc half-width kana to jis", Hex("8E B1"), kcEuc, kcJis, false, kIn + Hex("25 22") + kOut},
    {"sjis half-width kana copied", Hex("B1 DF"), kcSjis, kcJis, false, Hex("B1 DF")},
    {"katakana shift not recognised", "\x1B(I1", kcJis, kcSjis, false, "\x1B(I1"},
    {"empty", "", kcAuto, kcSjis, false, ""},
    {"auto finds euc", Hex("A4 A2"), kcAuto, kcSjis, false, Hex("82 A0")},
    {"auto finds sjis", Hex("82 A0 82 A2"), kcAuto, kcEuc, false, Hex("A4 A2 A4 A4")},
    {"auto finds jis", kIn + Hex("24 22") + kOut, kcAuto, kcEuc, false, Hex("A4 A2")},
    {"auto keeps its first choice", Hex("82 A0 A4 A2"), kcAuto, kcJis, false,
     kIn + Hex("24 22") + kOut + Hex("A4 A2")},
    {"escape cut short", "a\x1B$", kcJis, kcSjis, false, "a\x1B$"},
    {"odd byte in kanji mode", kIn + Hex("24"), kcJis, kcSjis, false, "$"},
    {"output ends at nul", std::string("a\0b", 3), kcSjis, kcSjis, false, "a"},
};

TEST(ConvertKanjiCode, Conversions)
{
    for (const auto& c : kKanjiCases)
        EXPECT_EQ(ConvertKanjiCode(c.input, c.from, c.to, c.crlf), c.expected) << c.name;
}

TEST(ConvertKanjiCode, NeverWritesPastItsBound)
{
    // A kanji and a lone CR grow from 3 bytes to 10 in JIS with CR LF line
    // ends: the output must stop at 3 n, closing escape included.
    std::string unit = Hex("82 A0 0D");
    for (size_t repeats : {1u, 85u, 86u, 200u, 1000u}) {
        std::string input;
        for (size_t i = 0; i < repeats; ++i)
            input += unit;
        std::string out = ConvertKanjiCode(input, kcSjis, kcJis, true);
        size_t bound = std::max<size_t>(3 * input.size(), 256);
        EXPECT_LE(out.size(), bound) << repeats;
        std::string whole = kIn + Hex("24 22") + kOut + "\r\n";
        // Every piece is whole: the output is a run of complete units and,
        // when cut, still ends in ASCII mode.
        ASSERT_GE(out.size(), whole.size());
        EXPECT_EQ(out.substr(0, whole.size()), whole);
        size_t lastIn = out.rfind(kIn);
        EXPECT_TRUE(out.rfind(kOut) > lastIn) << repeats;
    }
}

TEST(DoubleByteValues, ConvertBetweenEncodings)
{
    struct {
        uint16_t sjis, jis, euc;
    } const kValues[] = {{0x8140, 0x2121, 0xA1A1}, {0x82A0, 0x2422, 0xA4A2}, {0x889F, 0x3021, 0xB0A1},
                         {0x8ABF, 0x3441, 0xB4C1}, {0x9FFC, 0x5E7E, 0xDEFE}, {0xE040, 0x5F21, 0xDFA1},
                         {0xEAA4, 0x7426, 0xF4A6}};
    for (const auto& v : kValues) {
        EXPECT_EQ(SjisToJis(v.sjis), v.jis) << std::hex << v.sjis;
        EXPECT_EQ(JisToSjis(v.jis), v.sjis) << std::hex << v.jis;
        EXPECT_EQ(SjisToEuc(v.sjis), v.euc) << std::hex << v.sjis;
        EXPECT_EQ(EucToSjis(v.euc), v.sjis) << std::hex << v.euc;
        EXPECT_EQ(JisToEuc(v.jis), v.euc);
        EXPECT_EQ(EucToJis(v.euc), v.jis);
    }
}

TEST(HankanaToJis, MapsToFullWidthKana)
{
    EXPECT_EQ(HankanaToJis(0xA0), 0x2121); // full-width space
    EXPECT_EQ(HankanaToJis(0xB1), 0x2522); // katakana A
    EXPECT_EQ(HankanaToJis(0xB0), 0x213C); // long-vowel mark
    EXPECT_EQ(HankanaToJis(0xDE), 0x212B); // voiced mark stays separate
    EXPECT_EQ(HankanaToJis(0xDF), 0x212C);
    EXPECT_EQ(HankanaToJis(0x9F), 0);
    EXPECT_EQ(HankanaToJis(0xE0), 0);
    // The whole table converts to real characters of code page 932.
    for (int b = 0xA0; b <= 0xDF; ++b) {
        uint16_t sjis = JisToSjis(HankanaToJis(static_cast<uint8_t>(b)));
        EXPECT_TRUE(port::IsCp932LeadByte(static_cast<unsigned char>(sjis >> 8))) << b;
    }
}

struct UnicodeCase {
    const char* name;
    std::string input;
    std::string expected;
};

TEST(Utf8ToSjis, Decodes)
{
    const UnicodeCase cases[] = {
        {"hiragana a", Hex("E3 81 82"), Hex("82 A0")},
        {"ascii", "Re: abc", "Re: abc"},
        {"two-byte sequence lacking in cp932", Hex("C3 A9"), "?"},
        {"mixed", "a" + Hex("E6 97 A5 E6 9C AC") + "b", "a" + Sjis("日本") + "b"},
        {"cut short", "a" + Hex("E3 81"), "a?"},
        {"cut short after two-byte lead", Hex("C3"), "?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToSjis(c.input), c.expected) << c.name;
}

TEST(Utf7ToSjis, Decodes)
{
    const UnicodeCase cases[] = {
        {"run closed by minus", "+MEIwRA-", Sjis("あい")},
        {"kanji", "+ZeVnLIqe-", Sjis("日本語")},
        {"plus minus", "1 +- 1", "1 + 1"},
        {"run closed by a direct character", "+MEI.", Sjis("あ") + "."},
        {"character lacking in cp932", "Hi Mom -+Jjo--!", "Hi Mom -?-!"},
        {"plus at the end", "a+", "a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf7ToSjis(c.input), c.expected) << c.name;
}

} // namespace
