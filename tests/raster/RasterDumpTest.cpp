// pendar-tool rasterdump, run as a process over real files.
#include "BmpFixture.h"
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

Result Dump(const std::string& args)
{
    Result r;
    std::string command = std::string(PENDAR_TOOL) + " rasterdump " + args + " 2>/dev/null";
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
    }

    std::string In(const char* name) const { return dir.File(name); }

    TempDir dir;
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

TEST_F(RasterDump, UsageErrorsAndUnreadableInput)
{
    const std::string rgb = In("rgb.bmp");
    const std::string cases[] = {
        "",
        "png " + rgb,
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
