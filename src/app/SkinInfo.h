// The skin description: everything Info.ini may set, with the defaults that
// hold before it is read (and for whatever it leaves out).
#pragma once

#include <array>
#include <cstdint>
#include <string>

constexpr int kSkinSlots = 10; // PICTURE1..10, ANIME1..10, CLICK1..10, RANDOMWAV1..10

// Where the character sits; the numbers are those the placement uses.
enum TAlign : int {
    alFree = 0,
    alTop = 1,
    alBottom = 2,
    alLeft = 3,
    alRight = 4,
    alWinTop = 5,
    alWinBottom = 6,
    alWinLeft = 7,
    alWinRight = 8,
};

// An animation strip: its file and how it plays.
struct TSkinStrip {
    std::string file;
    int frames = 1;
    int delay = 0; // ticks between frames
};

// Platform colour values 0x02BBGGRR.
constexpr uint32_t kColorBlack = 0x02000000;
constexpr uint32_t kColorRed = 0x020000FF;
constexpr uint32_t kColorBlue = 0x02FF0000;

// The nine message texts of a skin.
enum TSkinText { skStartMes, skDateMes, skTimeMes, skConnectMes, skConErrMes, skPostMes, skManyMes, skOverMes, skTotalMes };

// Default font face and message texts (code page 932).
const std::string& DefaultSkinFont(); // "ＭＳ ゴシック"
const std::string& DefaultSkinText(TSkinText which);

struct TSkinInfo {
    std::string name;
    int align = alBottom;
    int onTop = -1; // -1 unset, 0 off, 1 on
    int quentilFlag = 0;
    int pictureOffX = 0;
    int pictureOffY = 0;

    std::array<std::string, kSkinSlots> pictures;
    std::array<TSkinStrip, kSkinSlots> animes;
    std::array<TSkinStrip, kSkinSlots> clicks;

    std::string clockFont = DefaultSkinFont();
    int clockSize = 32;
    uint32_t clockColor = kColorBlack;
    uint32_t sunColor = kColorRed;
    uint32_t satColor = kColorBlue;
    int yearOffX = -1, yearOffY = -1;
    int dateOffX = -1, dateOffY = -1;
    int weekOffX = -1, weekOffY = -1;
    int timeOffX = -1, timeOffY = -1;

    int mesOffsetLX = 64;
    int mesOffsetRX = 64;
    int mesOffsetY = 64;
    std::string mesFont = DefaultSkinFont();
    int mesSize = 24;
    uint32_t mesColor = kColorBlack;

    std::string startMes = DefaultSkinText(skStartMes);
    std::string dateMes = DefaultSkinText(skDateMes);
    std::string timeMes = DefaultSkinText(skTimeMes);
    std::string connectMes = DefaultSkinText(skConnectMes);
    std::string conErrMes = DefaultSkinText(skConErrMes);
    std::string postMes = DefaultSkinText(skPostMes);
    std::string manyMes = DefaultSkinText(skManyMes);
    std::string overMes = DefaultSkinText(skOverMes);
    std::string totalMes = DefaultSkinText(skTotalMes);

    std::string startWav, schWav, connectWav, conErrWav, postWav;
    std::array<std::string, kSkinSlots> randomWavs;

    // Counts of consecutive non-empty entries from slot 1.
    int pictureCount = 0;
    int animeCount = 0;
    int clickCount = 0;
    int randomWavCount = 0;

    // Back to the values that hold before Info.ini is read.
    void SetDefaults() { *this = TSkinInfo{}; }
    // Recomputes the four counts from the slots.
    void CountSlots();
};

