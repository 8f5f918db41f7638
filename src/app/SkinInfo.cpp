#include "app/SkinInfo.h"

#include "base/Sjis.h"

const std::string& DefaultSkinFont()
{
    static const std::string font = Sjis("ＭＳ ゴシック");
    return font;
}

const std::string& DefaultSkinText(TSkinText which)
{
    static const std::string texts[] = {
        Sjis("こんにちは"),
        Sjis("今日は\n$SCHNAME$\nの日です。"),
        Sjis("$SCHNAME$\nの時間になりました。"),
        Sjis("Hostに接続中…"),
        Sjis("$HOST$に\n接続できません。"),
        Sjis("$HOST$に\nメール「$SUBJECT$」が届いています。"),
        Sjis("$HOST$に\nメールが$NUMBER$通\n合計$SIZE$Byte\n届いています。"),
        Sjis("$HOST$に\nメールがいっぱい\n届いています。"),
        Sjis("合計で\nメールが$NUMBER$通\n合計$SIZE$Byte\n届いています。"),
    };
    return texts[which];
}

void TSkinInfo::CountSlots()
{
    auto count = [](auto&& empty) {
        int n = 0;
        while (n < kSkinSlots && !empty(static_cast<size_t>(n)))
            ++n;
        return n;
    };
    pictureCount = count([&](size_t i) { return pictures[i].empty(); });
    animeCount = count([&](size_t i) { return animes[i].file.empty(); });
    clickCount = count([&](size_t i) { return clicks[i].file.empty(); });
    randomWavCount = count([&](size_t i) { return randomWavs[i].empty(); });
}
