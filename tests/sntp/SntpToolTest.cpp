// pendar-tool sntp against the scripted NTP server, run as a user runs it.
#include "support/RunTool.h"
#include "support/ScriptedNtpResponder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <regex>

namespace {

using namespace pendar::test;

ScriptedNtpResponder::Script Answer(ReplyFields fields)
{
    return [fields](const NtpRequest& r) { return Answers{ServerReply(r, fields)}; };
}

// The printed time as Unix seconds (read as local time) and the offset.
struct Printed {
    bool parsed = false;
    double timeSeconds = 0;
    double offset = 0;
};

Printed Parse(const std::string& out)
{
    static const std::regex form(
        R"(time (\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)\.(\d{3})\noffset ([+-]\d+\.\d{3})\n)");
    std::smatch m;
    Printed p;
    if (!std::regex_match(out, m, form))
        return p;
    struct tm tm {};
    tm.tm_year = std::stoi(m[1]) - 1900;
    tm.tm_mon = std::stoi(m[2]) - 1;
    tm.tm_mday = std::stoi(m[3]);
    tm.tm_hour = std::stoi(m[4]);
    tm.tm_min = std::stoi(m[5]);
    tm.tm_sec = std::stoi(m[6]);
    tm.tm_isdst = -1;
    p.timeSeconds = static_cast<double>(std::mktime(&tm)) + std::stoi(m[7]) / 1000.0;
    p.offset = std::stod(m[8]);
    p.parsed = true;
    return p;
}

TEST(SntpTool, PrintsTheCorrectedTimeAndTheOffset)
{
    ReplyFields ahead;
    ahead.receiveShift = ahead.transmitShift = 100 * kSecond;
    ScriptedNtpResponder server(Answer(ahead));
    auto run = RunTool({"sntp", "127.0.0.1", "--port", std::to_string(server.Port()), "--local-port", "0",
                        "--timeout", "5000"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    Printed p = Parse(run.out);
    ASSERT_TRUE(p.parsed) << run.out;
    // 100 s less half the round trip.
    EXPECT_NEAR(p.offset, 100.0, 0.5) << run.out;
    EXPECT_NEAR(p.timeSeconds, static_cast<double>(std::time(nullptr)) + 100, 5) << run.out;
}

TEST(SntpTool, VersionOneFromLocalPort1024)
{
    ReplyFields v1;
    v1.version = 1;
    ScriptedNtpResponder server(Answer(v1)); // the server's own clock
    auto run = RunTool({"sntp", "127.0.0.1", "--port", std::to_string(server.Port()), "--version", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    Printed p = Parse(run.out);
    ASSERT_TRUE(p.parsed) << run.out;
    EXPECT_NEAR(p.offset, 0.0, 0.5);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].fromPort, 1024);
    EXPECT_EQ(server.Requests()[0].bytes[0], 0x0B);
}

TEST(SntpTool, FailureAndUsageErrors)
{
    int port;
    {
        ScriptedNtpResponder gone([](const NtpRequest&) { return Answers{}; });
        port = gone.Port();
    }
    auto failed = RunTool({"sntp", "127.0.0.1", "--port", std::to_string(port), "--local-port", "0"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_NE(failed.err.find("receive"), std::string::npos) << failed.err;

    const std::vector<std::vector<std::string>> usage = {
        {"sntp"},
        {"sntp", "--port", "123"},
        {"sntp", "h", "--version", "2"},
        {"sntp", "h", "--version", "3"},
        {"sntp", "h", "--port", "0"},
        {"sntp", "h", "--port", "12x"},
        {"sntp", "h", "--timeout", "-1"},
        {"sntp", "h", "--local-port", "70000"},
        {"sntp", "h", "--verbose"},
    };
    for (const auto& args : usage) {
        auto run = RunTool(args);
        EXPECT_EQ(run.exitCode, 2) << args.back();
        EXPECT_EQ(run.err.rfind("usage:", 0), 0u) << args.back();
    }
}

} // namespace
