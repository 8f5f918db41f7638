// The real program with a skin whose transparent outline has a run for
// every second pixel (a one-pixel checkerboard or stripes, 2048 x 2048), as
// the character and as the balloon: it runs, its window shows, and the
// shape the X server holds stays within one request's rectangles.
#include "raster/BmpFixture.h"
#include "support/LivePendar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using namespace pendar::test;

constexpr uint32_t kKey = 0xFF00FF;

// A 24-bit picture, `shown(x, y)` deciding between a colour and the key
// colour (which the top-left pixel must have).
std::string Picture(int width, int height, const std::function<bool(int, int)>& shown, uint32_t colour)
{
    std::vector<uint8_t> bgr(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = shown(x, y) ? colour : kKey;
            uint8_t* p = &bgr[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
            p[0] = c & 0xFF;
            p[1] = (c >> 8) & 0xFF;
            p[2] = (c >> 16) & 0xFF;
        }
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    std::vector<uint8_t> file = MakeBmp(spec, bgr);
    return std::string(file.begin(), file.end());
}

bool Checker(int x, int y)
{
    return (x + y) % 2 == 1;
}
bool Stripes(int x, int)
{
    return x % 2 == 1;
}
// A plain block with a key-coloured border.
bool Block(int x, int y)
{
    return x > 0 && y > 0 && x < 99 && y < 79;
}

struct BusySkin {
    const char* what;
    bool (*character)(int, int);
    int characterSize;
    bool (*balloon)(int, int);
    int balloonSize;
};

TEST(ShapeLimit, ASkinOfCountlessRunsShowsAsCharacterAndAsBalloon)
{
    const BusySkin skins[] = {
        {"checkerboard character", Checker, 2048, Block, 100},
        {"striped character", Stripes, 2048, Block, 100},
        {"checkerboard balloon", Block, 100, Checker, 2048},
    };
    for (const BusySkin& s : skins) {
        SCOPED_TRACE(s.what);
        LivePendar app;
        std::filesystem::create_directory(app.dir.File("Data/Busy"));
        app.dir.Write("Data/Busy/Info.ini", "NAME=Busy\r\nALIGN=FREE\r\nPICTURE1=Pic.bmp\r\nSTARTMES=Hello\r\n");
        app.dir.Write("Data/Busy/Pic.bmp", Picture(s.characterSize, s.characterSize, s.character, 0x3366CC));
        app.dir.Write("Data/Busy/Fukidasi.bmp", Picture(s.balloonSize, s.balloonSize * 4 / 5, s.balloon, 0xF8F8DC));
        app.WriteConfig({"SkinName=Busy", "OffsetX=0", "OffsetY=0"});
        ASSERT_TRUE(app.Start()) << app.Errors();
        const xcb_window_t main = app.Main();
        // The greeting shows: the balloon's shape beside the character
        // (which sits a balloon's width into the window) joins the window's.
        const int left = s.balloonSize;
        const int right = s.balloonSize + s.characterSize;
        EXPECT_TRUE(WaitUntil([&] {
            const std::vector<xcb_rectangle_t> shape = app.x.Shape(main);
            return std::any_of(shape.begin(), shape.end(),
                               [&](const xcb_rectangle_t& r) { return r.x < left || r.x + r.width > right; });
        })) << app.Errors();
        const size_t rects = app.x.Shape(main).size();
        EXPECT_GT(rects, 0u);
        EXPECT_LE(rects, 65536u);
        EXPECT_TRUE(app.Running()) << app.Errors();
        EXPECT_EQ(0, app.Stop()) << app.Errors();
    }
}

} // namespace
