#include "port/Cp932.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp932, RoundTripsJapaneseText)
{
    const std::string utf8 = "こんにちは、ﾊﾟﾝﾀﾞ 表示 ＭＳ ゴシック";
    auto sjis = port::Utf8ToCp932Strict(utf8);
    ASSERT_TRUE(sjis);
    EXPECT_EQ(std::string("\x82\xB1\x82\xF1", 4), sjis->substr(0, 4)); // "こん"
    EXPECT_EQ(std::string("\x95\x5C", 2), sjis->substr(sjis->find("\x95\x5C"), 2)); // "表" has trail byte 0x5C
    EXPECT_EQ(utf8, port::Cp932ToUtf8(*sjis));
}

TEST(Cp932, StrictRefusesWhatTheOtherSideLacks)
{
    EXPECT_FALSE(port::Utf8ToCp932Strict("emoji \xF0\x9F\x98\x80"));
    EXPECT_FALSE(port::Utf8ToCp932Strict("bad utf-8 \xC3"));
    EXPECT_FALSE(port::Cp932ToUtf8Strict(std::string("\x82", 1))); // a lone lead byte
    EXPECT_FALSE(port::Cp932ToUtf16Strict(std::string("\x85\x40", 2))); // unassigned
}

TEST(Cp932, LenientReplacesInsteadOfFailing)
{
    EXPECT_EQ("a?b", port::Utf8ToCp932("a\xF0\x9F\x98\x80" "b"));
    // 0x85 0x40 is unassigned: the lead byte becomes U+FFFD, '@' stays.
    EXPECT_EQ("a\xEF\xBF\xBD@b", port::Cp932ToUtf8(std::string("a\x85\x40" "b", 4)));
}

TEST(Cp932, LeadByteIsDecidedFromTheStart)
{
    // "表" is 0x95 0x5C; "ア" half-width is 0xB1 (single byte).
    std::string text = std::string("\x95\x5C\x95\x5C", 4);
    EXPECT_TRUE(port::IsLeadByteAt(text, 0));
    EXPECT_FALSE(port::IsLeadByteAt(text, 1));
    EXPECT_TRUE(port::IsLeadByteAt(text, 2));
    // 0x81 0x81 0x81: the second 0x81 is a trail byte, the third a lead byte.
    std::string tricky("\x81\x81\x81\x40", 4);
    EXPECT_FALSE(port::IsLeadByteAt(tricky, 1));
    EXPECT_TRUE(port::IsLeadByteAt(tricky, 2));
    EXPECT_FALSE(port::IsLeadByteAt("\xB1", 0));
}

} // namespace
