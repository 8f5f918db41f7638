// The keys of Info.ini in the order skin authors know them: one table that
// both the reader (ParseSkinLine) and the describer (DescribeSkin) walk.
#pragma once

#include "app/SkinInfo.h"

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

enum class TSkinKeyKind {
    Text,           // UnquoteValue of the value
    Integer,        // a decimal integer
    Colour,         // "#RRGGBB"
    Align,          // TOP, BOTTOM, ... (any case)
    OnTop,          // ON or anything else
    File,           // stored as written (the voices)
    BothMesOffsets, // MESOFFSETX: MESOFFSETLX and MESOFFSETRX together
    Pictures,       // PICTURE1..10
    Animes,         // ANIME1..10 = file[,frames[,delay]]
    Clicks,         // CLICK1..10 = file[,frames[,delay]]
    RandomWavs,     // RANDOMWAV1..10
};

struct TSkinKey {
    const char* name; // upper case; for the numbered kinds the prefix
    TSkinKeyKind kind;
    std::variant<std::monostate, std::string TSkinInfo::*, int TSkinInfo::*, uint32_t TSkinInfo::*> member;
};

const std::vector<TSkinKey>& SkinKeys();

// The upper-case words of ALIGN by value (FREE 0 .. WINRIGHT 8).
const char* AlignWord(int align);

// Every key of the description with its value as Info.ini would hold it
// (code page 932), numbered keys expanded to all ten slots; MESOFFSETX,
// which only sets the other two, is left out.
std::vector<std::pair<std::string, std::string>> DescribeSkin(const TSkinInfo& skin);
