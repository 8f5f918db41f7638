// pendar-tool pak, run as skin authors run it.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

using pendar::test::TempDir;

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

class PakTool : public ::testing::Test {
protected:
    ToolRun Pak(const std::string& args)
    {
        std::string command = "cd '" + dir.Path() + "' && '" PENDAR_TOOL_BIN "' pak " + args + " 2>err.txt";
        FILE* p = ::popen(command.c_str(), "r");
        std::string out;
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        int status = ::pclose(p);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, dir.Read("err.txt")};
    }

    TempDir dir;
};

TEST_F(PakTool, CreateListExtract)
{
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "line " + std::to_string(i % 37) + "\n";
    dir.Write("Info.ini", text);
    dir.Write("v.wav", "RIFF....");
    dir.Write("x", "ab");
    ToolRun made = Pak("create s.Pak --codec bs8k Info.ini --smart --name 声.wav v.wav --name 小ｶﾅ x");
    ASSERT_EQ(made.status, 0) << made.err;
    ToolRun list = Pak("list s.Pak");
    ASSERT_EQ(list.status, 0) << list.err;
    // Line layout: name, size, dsize, coding, CRC.
    std::string first = list.out.substr(0, list.out.find('\n'));
    EXPECT_EQ(first.substr(0, first.find('\t', first.find('\t') + 1)), "Info.ini\t" + std::to_string(text.size()));
    EXPECT_NE(first.find("\tbs\t"), std::string::npos) << first;
    EXPECT_NE(list.out.find("声.wav\t8\t8\tstored\t"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("小ｶﾅ\t2\t2\tstored\t"), std::string::npos) << list.out;
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 3);

    ToolRun extracted = Pak("extract s.Pak INFO.INI");
    EXPECT_EQ(extracted.status, 0);
    EXPECT_EQ(extracted.out, text);
    EXPECT_EQ(Pak("extract s.Pak 声.wav out.wav").status, 0);
    EXPECT_EQ(dir.Read("out.wav"), "RIFF....");
    EXPECT_EQ(Pak("verify s.Pak").status, 0);
}

TEST_F(PakTool, AddAndDeleteKeepThePackWhole)
{
    dir.Write("a.txt", "alpha alpha alpha alpha");
    dir.Write("b.txt", "b");
    ASSERT_EQ(Pak("add s.Pak a.txt").status, 0); // created when missing
    std::string before = dir.Read("s.Pak");
    ToolRun refused = Pak("add s.Pak b.txt"); // one byte: the dictionary coder refuses it
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("b.txt"), std::string::npos) << refused.err;
    ToolRun taken = Pak("add s.Pak --codec stored a.txt");
    EXPECT_EQ(taken.status, 1);
    EXPECT_NE(taken.err.find("ファイル名a.txtが不正です。"), std::string::npos) << taken.err;
    EXPECT_EQ(dir.Read("s.Pak"), before);
    ASSERT_EQ(Pak("add s.Pak --smart b.txt").status, 0);
    ASSERT_EQ(Pak("delete s.Pak A.TXT").status, 0);
    EXPECT_EQ(Pak("delete s.Pak a.txt").status, 1);
    ToolRun list = Pak("list s.Pak");
    EXPECT_EQ(list.out, "b.txt\t1\t1\tstored\t4F93\n") << list.out;
}

TEST_F(PakTool, DamageAndUsage)
{
    dir.Write("a.txt", std::string(3000, 'a'));
    dir.Write("b.txt", std::string(3000, 'b'));
    ASSERT_EQ(Pak("create s.Pak a.txt b.txt").status, 0);
    std::string pack = dir.Read("s.Pak");
    std::string damaged = pack;
    damaged[16 + 1] ^= 0x55; // inside a.txt's coded stream
    dir.Write("d.Pak", damaged);
    ToolRun verify = Pak("verify d.Pak");
    EXPECT_EQ(verify.status, 1);
    EXPECT_EQ(verify.out, "pack\tpack CRC mismatch\na.txt\tCRC mismatch\n");
    EXPECT_EQ(Pak("extract d.Pak a.txt").status, 1);
    EXPECT_EQ(Pak("extract d.Pak b.txt").out, std::string(3000, 'b'));

    dir.Write("junk.Pak", "not a pack at all, not at all");
    struct Case {
        const char* args;
        int status;
    } cases[] = {
        {"list junk.Pak", 1},  {"verify junk.Pak", 1},    {"list missing.Pak", 1}, {"extract s.Pak none", 1},
        {"", 2},               {"frobnicate s.Pak", 2},   {"list", 2},             {"create s2.Pak", 2},
        {"create s2.Pak --codec zip a.txt", 2},           {"create s2.Pak a.txt --name", 2},
        {"delete s.Pak", 2},   {"add junk.Pak a.txt", 1}, {"create s2.Pak nofile.txt", 1},
    };
    for (const auto& c : cases) {
        ToolRun r = Pak(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_FALSE((r.err + r.out).empty()) << c.args;
    }
    EXPECT_EQ(dir.Read("junk.Pak"), "not a pack at all, not at all");
}

} // namespace
