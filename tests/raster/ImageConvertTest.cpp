// pendar-tool image convert, run as a process: each input kind decodes
// through the engine and comes out as a PNG with the same pixels (and the
// alpha of a PNG that has it); failures leave no output file.
#include "BmpFixture.h"
#include "ImageFixtures.h"
#include "raster/PixelMemory.h"
#include "raster/PngLoader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

using pendar::test::TempDir;

int Convert(const std::string& args)
{
    const std::string command = std::string(PENDAR_TOOL) + " image " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Text(const std::vector<uint8_t>& v)
{
    return std::string(v.begin(), v.end());
}

struct Png {
    bool ok = false;
    int channels = 0;
    std::vector<uint8_t> bgr;
    std::vector<uint8_t> alpha;
};

Png ReadPng(const std::string& bytes)
{
    Png p;
    TMemoryStream s(bytes.data(), bytes.size());
    p.channels = ChkChannelPng(&s);
    s.Seek(0, soFromBeginning);
    uchar* pixels = nullptr;
    uchar* alpha = nullptr;
    int w = 0, h = 0;
    p.ok = LoadPng(&s, &pixels, &alpha, &w, &h, pf24_888);
    pendar::TPixelBlock ownPixels(pixels), ownAlpha(alpha);
    if (p.ok) {
        p.bgr.assign(pixels, pixels + size_t(w) * h * 3);
        p.alpha.assign(alpha, alpha + size_t(w) * h);
    }
    return p;
}

class ImageConvert : public testing::Test {
protected:
    TempDir dir;
};

TEST_F(ImageConvert, EveryInputKindBecomesAPngWithTheSamePixels)
{
    pendar::test::BmpSpec bmp;
    bmp.width = 2;
    dir.Write("in.bmp", Text(pendar::test::MakeBmp(bmp, {1, 2, 3, 4, 5, 6})));
    pendar::test::PngSpec rgba;
    rgba.width = 2;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.interlaced = true;
    dir.Write("in.png", Text(pendar::test::MakePng(rgba, {3, 2, 1, 40, 6, 5, 4, 250})));
    pendar::test::JpegSpec photo;
    photo.width = 3;
    photo.height = 2;
    const auto jpeg = pendar::test::MakeJpeg(photo, std::vector<uint8_t>(18, 90));
    dir.Write("in.jpg", Text(jpeg));
    std::vector<uint8_t> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = uint8_t(255 - i);
    dir.Write("table.bin", Text(table));
    dir.Write("in.gny", Text(pendar::test::MakeGny(2, 1, {1, 2, 3, 4, 5, 6}, table.data())));

    struct Case {
        std::string args;
        int channels;
        std::vector<uint8_t> bgr;
        std::vector<uint8_t> alpha;
    } cases[] = {
        {"convert " + dir.File("in.bmp") + " " + dir.File("out.png"), 3, {1, 2, 3, 4, 5, 6}, {255, 255}},
        {"convert " + dir.File("in.png") + " " + dir.File("out.png"), 4, {1, 2, 3, 4, 5, 6}, {40, 250}},
        {"convert " + dir.File("in.jpg") + " " + dir.File("out.png"), 3, pendar::test::DecodeJpegBgr(jpeg),
         std::vector<uint8_t>(6, 255)},
        {"convert --gny-table " + dir.File("table.bin") + " " + dir.File("in.gny") + " " + dir.File("out.png"), 3,
         {1, 2, 3, 4, 5, 6}, {255, 255}},
        // A table does not override a signature.
        {"convert " + dir.File("in.bmp") + " " + dir.File("out.png") + " --gny-table " + dir.File("table.bin"), 3,
         {1, 2, 3, 4, 5, 6}, {255, 255}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir.File("out.png"));
        ASSERT_EQ(0, Convert(c.args)) << c.args;
        const Png out = ReadPng(dir.Read("out.png"));
        ASSERT_TRUE(out.ok) << c.args;
        EXPECT_EQ(c.channels, out.channels) << c.args;
        EXPECT_EQ(c.bgr, out.bgr) << c.args;
        EXPECT_EQ(c.alpha, out.alpha) << c.args;
    }
}

TEST_F(ImageConvert, FailuresLeaveNoOutput)
{
    dir.Write("unknown.bin", "just some bytes");
    dir.Write("cut.png", Text(pendar::test::MakePng(pendar::test::PngSpec{}, {1, 2, 3})).substr(0, 40));
    dir.Write("table.bin", std::string(256, '\x01'));
    struct Case {
        std::string args;
        int status;
    } cases[] = {
        {"convert " + dir.File("unknown.bin") + " " + dir.File("out.png"), 1},
        {"convert " + dir.File("cut.png") + " " + dir.File("out.png"), 1},
        {"convert " + dir.File("cut.png") + " " + dir.File("no-such-folder/out.png"), 1},
        {"convert " + dir.File("missing.png") + " " + dir.File("out.png"), 2},
        {"convert " + dir.File("cut.png"), 2},
        {"convert " + dir.File("cut.png") + " " + dir.File("out.png") + " --gny-table", 2},
        {"convert --gny-table " + dir.File("unknown.bin") + " " + dir.File("unknown.bin") + " " + dir.File("out.png"), 2},
        {"convert --bogus x " + dir.File("cut.png") + " " + dir.File("out.png"), 2},
        {"resize " + dir.File("cut.png") + " " + dir.File("out.png"), 2},
        {"", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.status, Convert(c.args)) << c.args;
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.png"))) << c.args;
    }
    // The table makes an unknown file a GNY picture; this one is too short.
    EXPECT_EQ(1, Convert("convert --gny-table " + dir.File("table.bin") + " " + dir.File("unknown.bin") + " " +
                         dir.File("out.png")));
}

} // namespace
