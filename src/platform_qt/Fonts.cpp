#include "platform_qt/Fonts.h"

#include "platform/QtText.h"

#include <QStringList>

#include <algorithm>
#include <mutex>

namespace {

// A skin names any height; glyphs beyond this would only cost memory.
constexpr int kMaxPixelSize = 1000;

QFont MakeFont(const TFont& font, bool antiAliased)
{
    InstallFontSubstitutions();
    QString face = pendar::FromSjis(font.name);
    if (face.compare(QStringLiteral("Default"), Qt::CaseInsensitive) == 0)
        face = QStringLiteral("MS UI Gothic");
    QFont f(face);
    f.setPixelSize(std::clamp(font.height, 1, kMaxPixelSize));
    f.setWeight(font.bold ? QFont::Bold : QFont::Normal);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    f.setHintingPreference(QFont::PreferNoHinting);
    if (font.pitch == fpFixed) {
        f.setFixedPitch(true);
        f.setStyleHint(QFont::TypeWriter, antiAliased ? QFont::PreferAntialias : QFont::NoAntialias);
    } else {
        f.setStyleStrategy(antiAliased ? QFont::PreferAntialias : QFont::NoAntialias);
    }
    return f;
}

} // namespace

QFont GetAntiAliasedFont(const TFont& font)
{
    return MakeFont(font, true);
}

QFont GetNonAntiAliasedFont(const TFont& font)
{
    return MakeFont(font, false);
}

QFont QtFontOf(const TFont& font)
{
    return font.quality == fqNonAntialiased ? GetNonAntiAliasedFont(font) : GetAntiAliasedFont(font);
}

void InstallFontSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList gothic = {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                                    QStringLiteral("Noto Sans CJK JP")};
        const QStringList proportional = {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
        const QStringList mincho = {QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP")};
        const QStringList proportionalMincho = {QStringLiteral("IPAPMincho"), QStringLiteral("Noto Serif CJK JP")};
        for (const char* name : {"ＭＳ ゴシック", "MS Gothic"})
            QFont::insertSubstitutions(QString::fromUtf8(name), gothic);
        for (const char* name : {"ＭＳ Ｐゴシック", "MS PGothic", "MS UI Gothic", "Default"})
            QFont::insertSubstitutions(QString::fromUtf8(name), proportional);
        for (const char* name : {"ＭＳ 明朝", "MS Mincho"})
            QFont::insertSubstitutions(QString::fromUtf8(name), mincho);
        for (const char* name : {"ＭＳ Ｐ明朝", "MS PMincho"})
            QFont::insertSubstitutions(QString::fromUtf8(name), proportionalMincho);
    });
}
