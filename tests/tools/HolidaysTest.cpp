// pendar-tool holidays, run as a program.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <string>
#include <sys/wait.h>

namespace {

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

ToolRun Holidays(const std::string& args)
{
    pendar::test::TempDir dir;
    std::string command = std::string(PENDAR_TOOL_BIN) + " holidays " + args + " >" + dir.File("out") + " 2>" +
                          dir.File("err");
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.Read("out"), dir.Read("err")};
}

TEST(HolidaysTool, ListsAYearInDateOrder)
{
    // 2019: the accession year, with its in-between and substitute days.
    const char* expected = "2019-01-01\t元日\n"
                           "2019-01-14\t成人の日\n"
                           "2019-02-11\t建国記念の日\n"
                           "2019-03-21\t春分の日\n"
                           "2019-04-29\t昭和の日\n"
                           "2019-04-30\t国民の休日\n"
                           "2019-05-01\t天皇の即位の日\n"
                           "2019-05-02\t国民の休日\n"
                           "2019-05-03\t憲法記念日\n"
                           "2019-05-04\tみどりの日\n"
                           "2019-05-05\tこどもの日\n"
                           "2019-05-06\t振替休日\n"
                           "2019-07-15\t海の日\n"
                           "2019-08-11\t山の日\n"
                           "2019-08-12\t振替休日\n"
                           "2019-09-16\t敬老の日\n"
                           "2019-09-23\t秋分の日\n"
                           "2019-10-14\t体育の日\n"
                           "2019-10-22\t即位礼正殿の儀\n"
                           "2019-11-03\t文化の日\n"
                           "2019-11-04\t振替休日\n"
                           "2019-11-23\t勤労感謝の日\n";
    ToolRun r = Holidays("2019");
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(expected, r.out);
    EXPECT_EQ("", r.err);
}

TEST(HolidaysTool, ARangeCoversEveryYearOfIt)
{
    ToolRun r = Holidays("2020 2021");
    ASSERT_EQ(0, r.exitCode);
    EXPECT_EQ(0u, r.out.find("2020-01-01\t元日\n"));
    EXPECT_NE(std::string::npos, r.out.find("2020-11-23\t勤労感謝の日\n2021-01-01\t元日\n"));
    EXPECT_EQ(35, std::count(r.out.begin(), r.out.end(), '\n')); // 18 + 17
    EXPECT_EQ(r.out, Holidays("2020 2021").out);
    EXPECT_EQ(0, Holidays("1948 2099").exitCode);
}

TEST(HolidaysTool, RefusesWhatIsNotAYearRange)
{
    for (const char* args : {"", "1947", "2100", "2021 2020", "20x9", "+2019", "2019 2020 2021", "''"}) {
        ToolRun r = Holidays(args);
        EXPECT_EQ(2, r.exitCode) << args;
        EXPECT_EQ("", r.out) << args;
        EXPECT_NE(std::string::npos, r.err.find("usage: pendar-tool holidays FROM [TO]")) << args;
    }
}

} // namespace
