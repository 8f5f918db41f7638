// Fonts for the character's texts: a TFont made into a QFont with
// antialiasing on or off, and the substitutions that let the Windows font
// names skins use ("ＭＳ ゴシック" and friends) draw with a Japanese font.
#pragma once

#include "platform/Font.h"

#include <QFont>

// Height, weight (bold or normal), italic, underline, strike-out and pitch
// from `font`; the face "Default" (any case) becomes "MS UI Gothic".
QFont GetAntiAliasedFont(const TFont& font);
QFont GetNonAntiAliasedFont(const TFont& font);
// By the font's quality: antialiased unless it asks for the opposite.
QFont QtFontOf(const TFont& font);

// Maps "ＭＳ ゴシック" and "MS Gothic" to IPAGothic, "ＭＳ Ｐゴシック",
// "MS UI Gothic" and "Default" to IPAPGothic, each then to Noto CJK. Runs
// once; the font functions above call it themselves.
void InstallFontSubstitutions();
