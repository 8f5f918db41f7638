#include "mail/CleanSubject.h"
#include "mail/Pdmime.h"

#include "HexBytes.h"
#include "base/Sjis.h"

#include <gtest/gtest.h>

namespace {

using pendar::test::Hex;

struct TextCase {
    const char* name;
    std::string input;
    std::string expected;
};

TEST(DecodeMimeHeader, Decodes)
{
    const std::string a = Hex("82 A0"); // hiragana a
    const TextCase cases[] = {
        {"plain text", "Re: hello =? world", "Re: hello =? world"},
        {"iso-2022-jp between words", "x =?ISO-2022-JP?B?GyRCJEEbKEI=?= y", "x " + Hex("82 BF") + " y"},
        {"blank between two words kept", "=?UTF-8?B?44GC?= =?UTF-8?B?44GC?=", a + " " + a},
        {"utf-8 q", "=?utf-8?Q?=E3=81=82_x?=", a + "_x"},
        {"euc-jp", "=?EUC-JP?B?pKI=?=", a},
        {"shift_jis", "=?Shift_JIS?B?gqA=?=", a},
        {"x-sjis", "=?X-SJIS?Q?=82=A0?=", a},
        {"utf-7", "=?UTF-7?Q?+MEI-?=", a},
        {"lower-case letter not decoded", "=?utf-8?b?44GC?=", "44GC"},
        {"unknown set, q", "=?X-UNKNOWN?Q?a=41?=", "aA"},
        {"empty set name", "=?" "?Q?a=41?=", "aA"},
        {"unknown letter", "=?UTF-8?X?abc?=", "abc"},
        {"no second question mark", "Re: =?ISO-2022-JP", "Re: =?ISO-2022-JP"},
        {"letter not followed by ?", "a =?UTF-8?BB44GC?= b", "a =?UTF-8?BB44GC?= b"},
        {"no end marker", "=?UTF-8?B?44GC", "=?UTF-8?B?44GC"},
        {"malformed after a good word", "=?UTF-8?B?44GC?= =?x", a + " =?x"},
        {"set name ends the text", "=?UTF-8?", "=?UTF-8?"},
        {"empty encoded text", "=?UTF-8?B?" "?=", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeMimeHeader(c.input), c.expected) << c.name;
}

TEST(DecodeBase64, Decodes)
{
    const TextCase cases[] = {
        {"six characters", "QUJDRE", "ABCD"},
        {"six characters and padding", "QUJDRE==", "ABCD"},
        {"whole groups", "QUJD", "ABC"},
        {"three left", "QUJDREU", "ABCDE"},
        {"lone character", "QUJDR", "ABC"},
        {"equals sign ends decoding", "QQ==QUJD", "A"},
        {"outside the alphabet counts as 0", "Q!==", "@"},
        {"empty", "", ""},
        {"only padding", "====", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeBase64(c.input), c.expected) << c.name;
}

TEST(DecodeQuoted, Decodes)
{
    const TextCase cases[] = {
        {"hex pair", "a=41", "aA"},
        {"lower-case hex", "=e3=81=82", Hex("E3 81 82")},
        {"underscore stays", "a_b", "a_b"},
        {"cut pair ends decoding", "ab=4", "ab"},
        {"lone equals sign ends decoding", "ab=", "ab"},
        {"not hex counts as 0", "=G1", Hex("01")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeQuoted(c.input), c.expected) << c.name;
}

TEST(CleanSubject, ShowsTheSubjectAsTheClockDoes)
{
    const TextCase cases[] = {
        {"one leading blank removed", " =?UTF-8?B?44GC?=", Hex("82 A0")},
        {"only one blank removed", "  x", " x"},
        {"empty stays empty", "", ""},
        {"control bytes become blanks", "=?UTF-8?Q?a=0Db=07c=0Ad=09e?=", "a b c\nd e"},
        {"double-byte characters untouched", " " + Sjis("表示"), Sjis("表示")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CleanSubject(c.input), c.expected) << c.name;
}

} // namespace
