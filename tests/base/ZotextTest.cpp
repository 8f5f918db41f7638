#include "base/Zotext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(Zotext, SeparateString)
{
    struct Case {
        const char* text;
        int n;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\nb\nc", 2, {"a", "b"}},
        {"\n", 2, {"", ""}},
        {"a\r\nb", 3, {"a\r", "b", ""}},
        {"", 2, {"", ""}},
        {"one", 1, {"one"}},
        {"a\n\nb", 3, {"a", "", "b"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines(static_cast<size_t>(c.n), "stale");
        SeparateString(c.text, lines.data(), c.n);
        EXPECT_EQ(c.lines, lines) << c.text;
    }
}

TEST(Zotext, DivideFrontAndRear)
{
    EXPECT_EQ("1", DivideFront("1.22", 1));
    EXPECT_EQ("1.22", DivideFront("1.22", 9));
    EXPECT_EQ("", DivideFront("1.22", 0));
    EXPECT_EQ("", DivideFront("1.22", -3));
    EXPECT_EQ("22", DivideRear("1.22", 3));
    EXPECT_EQ("1.22", DivideRear("1.22", 0));
    EXPECT_EQ("1.22", DivideRear("1.22", -1));
    EXPECT_EQ("2", DivideRear("1.22", 4));
    EXPECT_EQ("", DivideRear("1.22", 5));
}

TEST(Zotext, HexToInt)
{
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"", 0}, {"1g", 16}, {"ff", 255}, {"FF", 255}, {"FFFFFFFF", -1}, {"7FFFFFFF", 0x7FFFFFFF},
        {"123456789", 0x12345678}, {"80000000", static_cast<int>(0x80000000u)}, {"zz", 0}, {"FF8000", 0xFF8000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value, HexToInt(c.text)) << c.text;
}

TEST(Zotext, TrimsStopAtDoubleByteCharacters)
{
    const std::string wideSpace = "\x81\x40";
    EXPECT_EQ("a b", ZoTrim(" \t a b \r\n"));
    EXPECT_EQ(wideSpace + "x" + wideSpace, ZoTrim("  " + wideSpace + "x" + wideSpace + "  "));
    EXPECT_EQ("", ZoTrim(std::string("\x01\x20\x00\x20", 4)));
    EXPECT_EQ("", ZoTrim(""));
    EXPECT_EQ("x  ", ZoTrimLeft("  x  "));
    EXPECT_EQ("  x", ZoTrimRight("  x  "));
}

TEST(Zotext, WildCardCmp)
{
    struct Case {
        const char* pattern;
        const char* text;
        bool match;
    } cases[] = {
        {"*.TXT", "readme.txt", true},
        {"*.*", "readme", false},
        {"*.*", "readme.txt", true},
        {"a?.txt", "a.txt", true},
        {"a?.txt", "ab.txt", true},
        {"abc?", "abc", true},
        {"?", ".", false},
        {"*", "", true},
        {"*", "anything", true},
        {"", "", true},
        {"", "a", false},
        {"a**b", "axxb", true},
        {"*.txt", "a.txt.txt", true},
        {"a*b*c", "aXbYc", true},
        {"a*b*c", "aXbY", false},
        {"abc", "abc.txt", false},
        {"\x95\x5C*", "\x95\x5C" "abc", true},   // "表*"
        {"\x95\x5C*", "\x95\x7C" "abc", false}, // the trail byte must match exactly
        {"\x83\x41", "\x83\x61", false},        // no case folding inside a double-byte character
        {"ABC", "abc", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.match, WildCardCmp(c.pattern, c.text)) << c.pattern << " ~ " << c.text;
}

TEST(Zotext, IntToWideStr)
{
    EXPECT_EQ("\x82\x4F\x82\x4F\x82\x54", IntToWideStr(5, 3));  // "００５"
    EXPECT_EQ("\x82\x4F", IntToWideStr(0, 0));                  // "０"
    EXPECT_EQ("\x81\x7C\x82\x53\x82\x51", IntToWideStr(-42, 0)); // "－４２"
    EXPECT_EQ(2u + 20u, IntToWideStr(-2147483647 - 1, 0).size()); // "－" and ten digits
}

TEST(Zotext, HstrncpyStopsAndNeverSplitsACharacter)
{
    struct Case {
        const char* src;
        int len;
        bool comma;
        const char* expected;
    } cases[] = {
        {"hello", 3, false, "hel"},
        {"he,llo", 10, true, "he"},
        {"he,llo", 10, false, "he,llo"},
        {"ab\rcd", 10, false, "ab"},
        {"a\x95\x5C" "b", 2, false, "a"},       // the double-byte character does not fit
        {"a\x95\x5C" "b", 3, false, "a\x95\x5C"},
        {"a\x95", 5, false, "a"},                // a lone lead byte at the end
        {"", 5, false, ""},
    };
    for (const Case& c : cases) {
        char dest[16];
        std::memset(dest, 'X', sizeof dest);
        EXPECT_STREQ(c.expected, hstrncpy(dest, c.src, c.len, c.comma)) << c.src;
    }
}

} // namespace
