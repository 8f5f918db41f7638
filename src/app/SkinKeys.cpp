#include "app/SkinKeys.h"

#include <cstdio>

namespace {

using K = TSkinKeyKind;
using S = TSkinInfo;

std::string ColourText(uint32_t platform)
{
    // 0x02BBGGRR back to #RRGGBB.
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", platform & 0xFF, (platform >> 8) & 0xFF,
                  (platform >> 16) & 0xFF);
    return text;
}

std::string StripText(const TSkinStrip& strip)
{
    if (strip.file.empty())
        return {};
    return strip.file + "," + std::to_string(strip.frames) + "," + std::to_string(strip.delay);
}

const std::array<std::string, kSkinSlots>& FileSlots(const TSkinInfo& skin, TSkinKeyKind kind)
{
    return kind == K::Pictures ? skin.pictures : skin.randomWavs;
}

} // namespace

const std::vector<TSkinKey>& SkinKeys()
{
    static const std::vector<TSkinKey> keys = {
        {"NAME", K::Text, &S::name},
        {"ALIGN", K::Align, {}},
        {"ONTOP", K::OnTop, {}},
        {"QUENTILFLAG", K::Integer, &S::quentilFlag},
        {"PICTUREOFFX", K::Integer, &S::pictureOffX},
        {"PICTUREOFFY", K::Integer, &S::pictureOffY},
        {"PICTURE", K::Pictures, {}},
        {"ANIME", K::Animes, {}},
        {"CLICK", K::Clicks, {}},
        {"CLOCKFONT", K::Text, &S::clockFont},
        {"CLOCKSIZE", K::Integer, &S::clockSize},
        {"CLOCKCOLOR", K::Colour, &S::clockColor},
        {"SUNCOLOR", K::Colour, &S::sunColor},
        {"SATCOLOR", K::Colour, &S::satColor},
        {"YEAROFFX", K::Integer, &S::yearOffX},
        {"YEAROFFY", K::Integer, &S::yearOffY},
        {"DATEOFFX", K::Integer, &S::dateOffX},
        {"DATEOFFY", K::Integer, &S::dateOffY},
        {"WEEKOFFX", K::Integer, &S::weekOffX},
        {"WEEKOFFY", K::Integer, &S::weekOffY},
        {"TIMEOFFX", K::Integer, &S::timeOffX},
        {"TIMEOFFY", K::Integer, &S::timeOffY},
        {"MESOFFSETX", K::BothMesOffsets, {}},
        {"MESOFFSETLX", K::Integer, &S::mesOffsetLX},
        {"MESOFFSETRX", K::Integer, &S::mesOffsetRX},
        {"MESOFFSETY", K::Integer, &S::mesOffsetY},
        {"MESFONT", K::Text, &S::mesFont},
        {"MESSIZE", K::Integer, &S::mesSize},
        {"MESCOLOR", K::Colour, &S::mesColor},
        {"STARTMES", K::Text, &S::startMes},
        {"DATEMES", K::Text, &S::dateMes},
        {"TIMEMES", K::Text, &S::timeMes},
        {"CONNECTMES", K::Text, &S::connectMes},
        {"CONERRMES", K::Text, &S::conErrMes},
        {"POSTMES", K::Text, &S::postMes},
        {"MANYMES", K::Text, &S::manyMes},
        {"OVERMES", K::Text, &S::overMes},
        {"TOTALMES", K::Text, &S::totalMes},
        {"STARTWAV", K::File, &S::startWav},
        {"SCHWAV", K::File, &S::schWav},
        {"CONNECTWAV", K::File, &S::connectWav},
        {"CONERRWAV", K::File, &S::conErrWav},
        {"POSTWAV", K::File, &S::postWav},
        {"RANDOMWAV", K::RandomWavs, {}},
    };
    return keys;
}

const char* AlignWord(int align)
{
    static const char* const words[] = {"FREE",      "TOP",       "BOTTOM",    "LEFT",     "RIGHT",
                                        "WINTOP",    "WINBOTTOM", "WINLEFT",   "WINRIGHT"};
    return align >= 0 && align <= 8 ? words[align] : "";
}

std::vector<std::pair<std::string, std::string>> DescribeSkin(const TSkinInfo& skin)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (const TSkinKey& key : SkinKeys()) {
        const std::string name = key.name;
        switch (key.kind) {
        case K::Text:
        case K::File:
            out.emplace_back(name, skin.*std::get<std::string S::*>(key.member));
            break;
        case K::Integer:
            out.emplace_back(name, std::to_string(skin.*std::get<int S::*>(key.member)));
            break;
        case K::Colour:
            out.emplace_back(name, ColourText(skin.*std::get<uint32_t S::*>(key.member)));
            break;
        case K::Align:
            out.emplace_back(name, AlignWord(skin.align));
            break;
        case K::OnTop:
            out.emplace_back(name, skin.onTop == 1 ? "ON" : skin.onTop == 0 ? "OFF" : "");
            break;
        case K::BothMesOffsets:
            break;
        case K::Pictures:
        case K::RandomWavs:
            for (int i = 0; i < kSkinSlots; ++i)
                out.emplace_back(name + std::to_string(i + 1), FileSlots(skin, key.kind)[static_cast<size_t>(i)]);
            break;
        case K::Animes:
        case K::Clicks:
            for (int i = 0; i < kSkinSlots; ++i) {
                const auto& strips = key.kind == K::Animes ? skin.animes : skin.clicks;
                out.emplace_back(name + std::to_string(i + 1), StripText(strips[static_cast<size_t>(i)]));
            }
            break;
        }
    }
    return out;
}
