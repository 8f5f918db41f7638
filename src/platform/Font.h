// A font as the application describes it (no Qt): face name in code page
// 932, height in pixels, style and colour. The views turn it into a QFont
// through GetAntiAliasedFont or GetNonAntiAliasedFont (Fonts.h).
#pragma once

#include <cstdint>
#include <string>

enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TFontQuality { fqDefault, fqNonAntialiased, fqAntialiased };

struct TFont {
    std::string name;             // code page 932
    int height = 12;              // character height in pixels
    uint32_t color = 0x02000000;  // platform colour 0x02BBGGRR
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 1;              // the platform's default character set
    TFontPitch pitch = fpDefault;
    TFontQuality quality = fqDefault;

    friend bool operator==(const TFont&, const TFont&) = default;
};
