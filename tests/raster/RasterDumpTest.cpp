// pendar-tool rasterdump, run as a process over real files.
#include "BmpFixture.h"
#include "ImageFixtures.h"
#include "raster/PixelMemory.h"
#include "raster/PngLoader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

using pendar::test::BmpSpec;
using pendar::test::MakeBmp;
using pendar::test::TempDir;

struct Result {
    int status = -1;
    std::string out;
};

Result Tool(const std::string& args)
{
    Result r;
    std::string command = std::string(PENDAR_TOOL) + " " + args + " 2>/dev/null";
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return r;
    char buf[256];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

Result Dump(const std::string& args)
{
    return Tool("rasterdump " + args);
}

std::string Bytes(const std::vector<uint8_t>& v)
{
    return std::string(v.begin(), v.end());
}

class RasterDump : public testing::Test {
protected:
    void SetUp() override
    {
        BmpSpec rgb;
        rgb.width = 2;
        rgb.height = 2;
        dir.Write("rgb.bmp", Bytes(MakeBmp(rgb, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})));

        BmpSpec indexed;
        indexed.width = 3;
        indexed.height = 1;
        indexed.bitCount = 8;
        indexed.clrUsed = 2;
        indexed.palette = {RGBQUAD{10, 20, 31, 0}, RGBQUAD{255, 255, 255, 7}};
        indexed.offBits = 0;
        std::vector<uint8_t> file = MakeBmp(indexed, {1, 0, 1});
        dir.Write("indexed.bmp", Bytes(file));
        dir.Write("shifted.bmp", "JUNK" + Bytes(file));
        dir.Write("cut.bmp", Bytes(file).substr(0, file.size() - 1));

        BmpSpec fourBit = rgb;
        fourBit.bitCount = 4;
        dir.Write("4bit.bmp", Bytes(MakeBmp(fourBit, {})));

        // Two RGBA pixels: opaque red, and white-ish at half opacity.
        pendar::test::PngSpec rgba;
        rgba.width = 2;
        rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        dir.Write("rgba.png", Bytes(pendar::test::MakePng(rgba, {255, 0, 0, 255, 255, 127, 200, 128})));
        pendar::test::PngSpec grey;
        grey.colourType = PNG_COLOR_TYPE_GRAY;
        dir.Write("grey.png", Bytes(pendar::test::MakePng(grey, {9})));
        pendar::test::PngSpec palette;
        palette.width = 3;
        palette.colourType = PNG_COLOR_TYPE_PALETTE;
        palette.palette = {png_color{1, 2, 3}, png_color{4, 5, 6}};
        dir.Write("palette.png", Bytes(pendar::test::MakePng(palette, {1, 0, 1})));

        pendar::test::JpegSpec photo;
        photo.width = 9;
        photo.height = 5;
        std::vector<uint8_t> samples;
        for (int i = 0; i < 9 * 5 * 3; ++i)
            samples.push_back(uint8_t(i * 5));
        jpeg = pendar::test::MakeJpeg(photo, samples);
        dir.Write("photo.jpg", Bytes(jpeg));

        for (int i = 0; i < 256; ++i)
            table.push_back(uint8_t(i * 37 + 11));
        dir.Write("table.bin", Bytes(table));
        dir.Write("short.bin", Bytes(std::vector<uint8_t>(table.begin(), table.begin() + 255)));
        dir.Write("pic.gny", Bytes(pendar::test::MakeGny(2, 1, {1, 2, 3, 4, 5, 6}, table.data())));
    }

    std::string In(const char* name) const { return dir.File(name); }

    TempDir dir;
    std::vector<uint8_t> jpeg;
    std::vector<uint8_t> table;
};

TEST_F(RasterDump, ReportsWhatTheLoaderReturned)
{
    struct Case {
        std::string args;
        std::string out;
    } cases[] = {
        {"bmp " + In("rgb.bmp"), "ok 2 2\n"},
        {"bmp --probe " + In("rgb.bmp"), "ok 2 2\n"},
        {"bmp " + In("4bit.bmp"), "fail 2 2\n"},
        {"bmp --out " + dir.File("x") + " " + In("cut.bmp"), "fail\n"},
        {"alpha " + In("rgb.bmp"), "fail 2 2\n"},
        {"alpha --out " + dir.File("x") + " " + In("indexed.bmp"), "ok 3 1\n"},
        {"palette " + In("indexed.bmp"), "ok 3 1\n"},
        // Four bytes early, the header's fields are read four bytes off.
        {"bmp " + In("shifted.bmp"), "fail 40 3\n"},
        {"bmp --offset 4 " + In("shifted.bmp"), "ok 3 1\n"},
        {"bmp --offset 400 " + In("shifted.bmp"), "fail\n"},
    };
    for (const Case& c : cases) {
        Result r = Dump(c.args);
        EXPECT_EQ(0, r.status) << c.args;
        EXPECT_EQ(c.out, r.out) << c.args;
    }
}

TEST_F(RasterDump, WritesExactlyTheBlocksReturned)
{
    ASSERT_EQ("ok 2 2\n", Dump("bmp --out " + dir.File("p24") + " " + In("rgb.bmp")).out);
    EXPECT_EQ(Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), dir.Read("p24"));

    ASSERT_EQ("ok 2 2\n", Dump("bmp --format pf32_8888 --out " + dir.File("p32") + " " + In("rgb.bmp")).out);
    EXPECT_EQ(Bytes({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}), dir.Read("p32"));

    ASSERT_EQ("ok 3 1\n", Dump("bmp --format pf16_565 --out " + dir.File("p16") + " " + In("indexed.bmp")).out);
    EXPECT_EQ(6u, dir.Read("p16").size());

    ASSERT_EQ("ok 3 1\n", Dump("alpha --out " + dir.File("a") + " " + In("indexed.bmp")).out);
    EXPECT_EQ(Bytes({255, 20, 255}), dir.Read("a"));

    ASSERT_EQ("ok 3 1\n",
              Dump("palette --out " + dir.File("i") + " --palette-out " + dir.File("pal") + " " + In("indexed.bmp")).out);
    EXPECT_EQ(Bytes({1, 0, 1}), dir.Read("i"));
    std::string palette = dir.Read("pal");
    ASSERT_EQ(1024u, palette.size());
    EXPECT_EQ(Bytes({10, 20, 31, 0, 255, 255, 255, 7}), palette.substr(0, 8));
    EXPECT_EQ(std::string(1016, '\0'), palette.substr(8));

    // --probe asks for no blocks at all.
    ASSERT_EQ("ok 2 2\n", Dump("bmp --probe --out " + dir.File("none") + " " + In("rgb.bmp")).out);
    EXPECT_FALSE(std::filesystem::exists(dir.File("none")));
}

TEST_F(RasterDump, PngJpegAndGnyLoaders)
{
    struct Case {
        std::string args;
        std::string out;
    } cases[] = {
        {"png " + In("rgba.png"), "ok 2 1\n"},
        {"pngwm --probe " + In("rgba.png"), "ok 2 1\n"},
        {"png " + In("grey.png"), "fail\n"},
        {"png --out " + dir.File("x") + " " + In("rgb.bmp"), "fail\n"},
        {"chkpng " + In("rgba.png"), "channels 4\n"},
        {"chkpng " + In("palette.png"), "channels 1\n"},
        {"chkpng " + In("grey.png"), "channels 0\n"},
        {"chkpng " + In("rgb.bmp"), "channels 0\n"},
        {"jpeg " + In("photo.jpg"), "ok 9 5\n"},
        {"jpeg --out " + dir.File("x") + " " + In("rgb.bmp"), "fail\n"},
        {"gny --table " + In("table.bin") + " " + In("pic.gny"), "ok 2 1\n"},
    };
    for (const Case& c : cases) {
        Result r = Dump(c.args);
        EXPECT_EQ(0, r.status) << c.args;
        EXPECT_EQ(c.out, r.out) << c.args;
    }

    ASSERT_EQ("ok 2 1\n",
              Dump("png --format pf32_8888 --out " + dir.File("p") + " --alpha-out " + dir.File("a") + " " + In("rgba.png")).out);
    EXPECT_EQ(Bytes({0, 0, 255, 255, 200, 127, 255, 128}), dir.Read("p"));
    EXPECT_EQ(Bytes({255, 128}), dir.Read("a"));
    // Off white: ((128 + c) * 255 - 65025) / 128 for each colour.
    ASSERT_EQ("ok 2 1\n", Dump("pngwm --out " + dir.File("w") + " " + In("rgba.png")).out);
    EXPECT_EQ(Bytes({0, 0, 255, 145, 0, 255}), dir.Read("w"));
    // Alpha alone; a picture without alpha gives an opaque plane.
    ASSERT_EQ("ok 3 1\n", Dump("png --alpha-out " + dir.File("only") + " " + In("palette.png")).out);
    EXPECT_EQ(Bytes({255, 255, 255}), dir.Read("only"));

    ASSERT_EQ("ok 9 5\n", Dump("jpeg --out " + dir.File("j") + " " + In("photo.jpg")).out);
    EXPECT_EQ(Bytes(pendar::test::DecodeJpegBgr(jpeg)), dir.Read("j"));
    ASSERT_EQ("ok 2 1\n", Dump("gny --format pf32_888 --table " + In("table.bin") + " --out " + dir.File("g") + " " +
                                In("pic.gny")).out);
    EXPECT_EQ(Bytes({1, 2, 3, 0, 4, 5, 6, 0}), dir.Read("g"));
}

TEST_F(RasterDump, UsageErrorsAndUnreadableInput)
{
    const std::string rgb = In("rgb.bmp");
    const std::string cases[] = {
        "",
        "tiff " + rgb,
        "bmp",
        "bmp " + rgb + " " + rgb,
        "bmp --format pf8 " + rgb,
        "bmp --format " + rgb,
        "bmp --offset -1 " + rgb,
        "bmp --offset 12x " + rgb,
        "bmp --alpha-out a " + rgb,
        "bmp --table t " + rgb,
        "bmp --palette-out p " + rgb,
        "alpha --format pf24_888 " + rgb,
        "palette --alpha-out a " + rgb,
        "bmp --bogus " + rgb,
        "bmp " + rgb + " --probe", // INPUT comes last
        "bmp --out a --out b " + rgb,
        "chkpng --format pf24_888 " + In("rgba.png"),
        "jpeg --alpha-out a " + In("photo.jpg"),
        "png --table t " + In("rgba.png"),
        "gny " + In("pic.gny"), // no table
        "gny --table " + In("short.bin") + " " + In("pic.gny"),
        "gny --table " + dir.File("missing.bin") + " " + In("pic.gny"),
        "bmp " + dir.File("missing.bmp"),
        "bmp " + dir.Path(), // a folder
    };
    for (const std::string& args : cases) {
        Result r = Dump(args);
        EXPECT_EQ(2, r.status) << args;
        EXPECT_EQ("", r.out) << args;
    }
}

} // namespace
