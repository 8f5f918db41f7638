// The mail subcommands of pendar-tool, run as a user runs them.
#include "HexBytes.h"

#include "support/RunTool.h"
#include "support/ScriptedPop3Server.h"

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;

TEST(MailTool, Md5OfTheArgumentsBytes)
{
    EXPECT_EQ(RunTool({"md5", "<1896.697170952@dbc.mtview.ca.us>tanstaaf"}).out,
              "c4c9334bac560ecc979e58001b3e22fb\n");
    EXPECT_EQ(RunTool({"md5", ""}).out, "d41d8cd98f00b204e9800998ecf8427e\n");
    EXPECT_EQ(RunTool({"md5"}).exitCode, 2);
}

TEST(MailTool, MimeDecodeWritesOneEscapedLinePerInputLine)
{
    std::string input = "=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=\r\n"  // テスト, CR LF line end
                        "=?Shift_JIS?B?l1yS6A==?= C:\\x\n"          // 予定: trail byte 0x5C
                        "=?UTF-8?Q?a=0Db=09c=0Ad=01?=\n"            // control characters
                        "=?X-UNKNOWN?B?gf8=?=\n"                    // bytes that are not code page 932
                        "\n"
                        "last line without an end";
    auto run = RunTool({"mime-decode"}, input);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "テスト\n"
                       "予定 C:\\\\x\n"
                       "a\\rb\\tc\\nd\\x01\n"
                       "\\x81\\xFF\n"
                       "\n"
                       "last line without an end\n");
}

TEST(MailTool, JconvConvertsStandardInput)
{
    struct {
        std::vector<std::string> args;
        std::string input;
        std::string output;
    } const cases[] = {
        {{"jconv", "--from", "auto", "--to", "jis"}, Hex("82 A0") + "a\r\n", "\x1B$B$\"\x1B(Ba\n"},
        {{"jconv", "--from", "euc", "--to", "sjis", "--crlf"}, Hex("A4 A2 0A"), Hex("82 A0 0D 0A")},
        {{"jconv", "--to", "euc", "--from", "jis"}, "\x1B$B$\"", Hex("A4 A2")},
    };
    for (const auto& c : cases) {
        auto run = RunTool(c.args, c.input);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, c.output);
    }
    for (std::vector<std::string> bad : {std::vector<std::string>{"jconv", "--from", "auto"},
                                         {"jconv", "--from", "sjis", "--to", "auto"},
                                         {"jconv", "--from", "sjis", "--to", "jis", "--bogus"}})
        EXPECT_EQ(RunTool(bad).exitCode, 2);
}

TEST(MailTool, Pop3ListsWhatTheClockSees)
{
    const std::string logIn = "+OK ready\r\n";
    ScriptedPop3Server server(Script({{Say(logIn)},
                                      Reply("+OK\r\n"),
                                      Reply("+OK\r\n"),
                                      Reply("+OK 2 99\r\n"),
                                      Reply("+OK\r\nSubject: =?UTF-8?B?5pel5pys6Kqe?=\r\n.\r\n"),
                                      Reply("+OK 1 40\r\n"),
                                      Reply("+OK 1 id\\1\r\n"),
                                      Reply("+OK\r\nX: y\r\n.\r\n"),
                                      Reply("+OK 2 59\r\n"),
                                      Reply("+OK 2 id2\r\n"),
                                      Reply("+OK\r\n")}));
    auto run = RunTool({"pop3", "--host", "127.0.0.1", "--port", std::to_string(server.Port()), "--user", "u",
                        "--password", "p", "--timeout", "2000"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "count 2\n1\tid\\\\1\t40\t日本語\n2\tid2\t59\t\n");
    EXPECT_EQ(server.Transcript(), "USER u\r\nPASS p\r\nSTAT\r\nTOP 1 0\r\nLIST 1\r\nUIDL 1\r\n"
                                   "TOP 2 0\r\nLIST 2\r\nUIDL 2\r\nQUIT\r\n");
}

TEST(MailTool, Pop3OverTheLimitPrintsOnlyTheCount)
{
    ScriptedPop3Server server(
        Script({{Say("+OK\r\n")}, Reply("+OK\r\n"), Reply("+OK\r\n"), Reply("+OK 3 99\r\n"), Reply("+OK\r\n")}));
    auto run = RunTool({"pop3", "--host", "127.0.0.1", "--port", std::to_string(server.Port()), "--user", "u",
                        "--password", "p", "--limit", "2"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "count 3\n");
    EXPECT_EQ(server.Transcript(), "USER u\r\nPASS p\r\nSTAT\r\nQUIT\r\n");
}

TEST(MailTool, Pop3Failures)
{
    RefusingPort refusing;
    ScriptedPop3Server server(Script({{Say("-ERR go away\r\n")}, Reply("+OK\r\n")}));
    auto failed = RunTool({"pop3", "--host", "127.0.0.1", "--port", std::to_string(server.Port()), "--user", "u",
                           "--password", "p"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.err, "-ERR go away \\n\n");
    auto refused = RunTool({"pop3", "--host", "127.0.0.1", "--port", std::to_string(refusing.Port()), "--user",
                            "u", "--password", "p"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "Connection Failed\n");
    for (std::vector<std::string> bad : {std::vector<std::string>{"pop3", "--host", "h", "--user", "u"},
                                         {"pop3", "--host", "h", "--user", "u", "--password", "p", "--port", "0"},
                                         {"pop3", "--host", "h", "--user", "u", "--password", "p", "--limit", "x"},
                                         {"pop3", "--host", "h", "--user", "u", "--password", "p", "--tls", "ssl"},
                                         {"pop3", "--host", "h", "--user", "u", "--password", "p", "extra"}})
        EXPECT_EQ(RunTool(bad).exitCode, 2);
}

} // namespace
