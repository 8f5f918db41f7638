// Fonts for the character's texts: the attributes of the description, the
// antialiasing asked for, and the Windows face names skins use resolving to
// the Japanese fonts installed.
#include "base/Sjis.h"
#include "platform_qt/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

TFont Described(const char* utf8Name, int height)
{
    TFont f;
    f.name = Sjis(utf8Name);
    f.height = height;
    return f;
}

TEST(Fonts, TakeTheDescribedAttributes)
{
    TFont d = Described("Arial", 20);
    d.bold = true;
    d.italic = true;
    d.underline = true;
    d.strikeOut = true;
    d.pitch = fpFixed;
    QFont aa = GetAntiAliasedFont(d);
    EXPECT_EQ(20, aa.pixelSize());
    EXPECT_EQ(QFont::Bold, aa.weight());
    EXPECT_TRUE(aa.italic());
    EXPECT_TRUE(aa.underline());
    EXPECT_TRUE(aa.strikeOut());
    EXPECT_TRUE(aa.fixedPitch());
    EXPECT_TRUE(aa.styleStrategy() & QFont::PreferAntialias);

    QFont plain = GetNonAntiAliasedFont(Described("Arial", 12));
    EXPECT_EQ(QFont::Normal, plain.weight());
    EXPECT_FALSE(plain.italic());
    EXPECT_TRUE(plain.styleStrategy() & QFont::NoAntialias);

    d.quality = fqNonAntialiased;
    EXPECT_TRUE(QtFontOf(d).styleStrategy() & QFont::NoAntialias);
    d.quality = fqAntialiased;
    EXPECT_TRUE(QtFontOf(d).styleStrategy() & QFont::PreferAntialias);
    // Heights a skin cannot mean are kept drawable.
    EXPECT_EQ(1, GetAntiAliasedFont(Described("Arial", -5)).pixelSize());
    EXPECT_EQ(1000, GetAntiAliasedFont(Described("Arial", 1 << 30)).pixelSize());
}

TEST(Fonts, DefaultIsTheUiGothicInAnyCase)
{
    for (const char* name : {"Default", "DEFAULT", "default"})
        EXPECT_EQ("MS UI Gothic", GetAntiAliasedFont(Described(name, 12)).family().toStdString()) << name;
}

TEST(Fonts, WindowsFaceNamesDrawWithAJapaneseFont)
{
    ASSERT_TRUE(QFontDatabase::families().contains(QStringLiteral("IPAGothic")))
        << "fonts-ipafont-gothic (scripts/packages/build.list) is missing";
    const struct {
        const char* name;
        const char* family;
    } cases[] = {
        {"ＭＳ ゴシック", "IPAGothic"},
        {"MS Gothic", "IPAGothic"},
        {"ＭＳ Ｐゴシック", "IPAPGothic"},
        {"MS UI Gothic", "IPAPGothic"},
        {"Default", "IPAPGothic"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.family, QFontInfo(GetAntiAliasedFont(Described(c.name, 16))).family().toStdString()) << c.name;
}

} // namespace
