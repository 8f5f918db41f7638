// pendar-tool check-mail: the application's own manual mail check over a
// Pendar.ini, against a scripted POP3 server and a private Dovecot.
#include "app/MessageTemplate.h"
#include "app/Settings.h"
#include "app/SkinInfo.h"
#include "port/Cp932.h"
#include "support/PrivateDovecot.h"
#include "support/RunTool.h"
#include "support/ScriptedPop3Server.h"
#include "support/TempDir.h"
#include "support/TestCertificates.h"

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;

// A code page 932 text as the tool prints it.
std::string Shown(const std::string& cp932)
{
    std::string out;
    for (char c : port::Cp932ToUtf8(cp932))
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

std::string Balloon(TSkinText text, const std::string& host, const std::string& subject, int64_t number,
                    int64_t size)
{
    return "balloon: " + Shown(ExpandTemplate(DefaultSkinText(text), host, subject, number, size)) + "\n";
}

std::string MailLog(const std::string& name, int count)
{
    return "log: Mail " + name + " " + std::to_string(count) + "通\n";
}

// A settings file whose first profiles are (name, port) on 127.0.0.1.
std::string WriteSettings(TempDir& dir, const std::vector<std::pair<std::string, int>>& profiles,
                          const std::string& user, const std::string& password, bool sameCheck = true)
{
    TAppSettings s;
    s.sameCheck = sameCheck;
    for (size_t i = 0; i < profiles.size(); ++i) {
        s.profiles[i].name = profiles[i].first;
        s.profiles[i].host = "127.0.0.1";
        s.profiles[i].port = profiles[i].second;
        s.profiles[i].user = user;
        s.profiles[i].password = password;
    }
    std::string path = dir.File("Pendar.ini");
    std::string error;
    EXPECT_TRUE(SaveSettingsFile(path, s, &error)) << error;
    return path;
}

TEST(CheckMailTool, PrintsTheBalloonAndTheLogInOrder)
{
    ScriptedPop3Server server(Script({{Say("+OK ready\r\n")}, Reply("+OK\r\n"), Reply("+OK\r\n"),
                                      Reply("+OK 1 120\r\n"), Reply("+OK\r\nSubject: Hi there\r\n.\r\n"),
                                      Reply("+OK 1 120\r\n"), Reply("+OK 1 uid-1\r\n"), Reply("+OK bye\r\n")}));
    RefusingPort refusing;
    TempDir dir;
    std::string ini = WriteSettings(dir, {{"home", server.Port()}, {"work", refusing.Port()}}, "u", "p");
    std::string before = TempDir::ReadFile(ini);

    auto run = RunTool({"check-mail", ini});

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "balloon: " + Shown(DefaultSkinText(skConnectMes)) + "\n" + MailLog("home", 1) +
                           Balloon(skConErrMes, "work", "", 0, 0) + "log: Mail Error Connection Failed\n" +
                           Balloon(skPostMes, "home", "Hi there", 1, 120) + Balloon(skTotalMes, "", "", 1, 120));
    EXPECT_EQ(server.Transcript(), "USER u\r\nPASS p\r\nSTAT\r\nTOP 1 0\r\nLIST 1\r\nUIDL 1\r\nQUIT\r\n");
    EXPECT_EQ(TempDir::ReadFile(ini), before) << "the settings file is only read";
}

TEST(CheckMailTool, UsageAndUnreadableSettings)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"check-mail"}, {"check-mail", "--repeat", "2"}, {"check-mail", "x", "--repeat", "0"},
             {"check-mail", "x", "--repeat", "two"}, {"check-mail", "x", "--quiet"},
             {"check-mail", "x", "--timeout", "-1"}}) {
        auto run = RunTool(args);
        EXPECT_EQ(run.exitCode, 2) << args.back();
        EXPECT_EQ(run.err.rfind("usage:", 0), 0u) << args.back();
    }
    TempDir dir;
    auto run = RunTool({"check-mail", dir.File("missing.ini")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("missing.ini"), std::string::npos) << run.err;
}

// A private Dovecot with two messages, in the clear and with STLS on Port(),
// implicit TLS on TlsPort().
class CheckMailDovecot : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!TestCertificates::Shared().Made())
            FAIL() << TestCertificates::Shared().Why();
        for (int i = 1; i <= 2; ++i)
            mails_.push_back({"170000000" + std::to_string(i) + ".M1P1.pendar",
                              "From: a@example.org\r\nSubject: Note " + std::to_string(i) + "\r\n\r\nHello.\r\n"});
        std::string why;
        PrivateDovecot::Tls tls{TestCertificates::Shared().Certificate("good"), TestCertificates::Shared().Key()};
        switch (dovecot_.Start(mails_, &why, tls)) {
        case PrivateDovecot::Outcome::Running: break;
        case PrivateDovecot::Outcome::Skipped: GTEST_SKIP() << why;
        case PrivateDovecot::Outcome::Failed: FAIL() << why;
        }
    }

    int64_t MailboxBytes() const { return static_cast<int64_t>(mails_[0].text.size() + mails_[1].text.size()); }

    std::vector<PrivateDovecot::Mail> mails_;
    PrivateDovecot dovecot_;
};

const std::string kConnect = "balloon: " + Shown(DefaultSkinText(skConnectMes)) + "\n";

// Two checks in one process: the second knows the first one's messages.
TEST_F(CheckMailDovecot, SecondCheckFindsNothingNew)
{
    TempDir dir;
    std::string ini = WriteSettings(dir, {{"home", dovecot_.Port()}}, "tester", "s3cret");

    auto run = RunTool({"check-mail", ini, "--repeat", "2"});

    EXPECT_EQ(run.exitCode, 0) << run.err;
    int64_t bytes = MailboxBytes();
    EXPECT_EQ(run.out, kConnect + MailLog("home", 2) + Balloon(skManyMes, "home", "", 2, bytes) +
                           Balloon(skTotalMes, "", "", 2, bytes) + kConnect)
        << dovecot_.Log();
}

// A failed connection spoils no later mailbox: profiles [failing, good,
// failing, good], checked twice, reading both good mailboxes both times;
// with a refused connection and with one that times out.
TEST_F(CheckMailDovecot, AFailedConnectionSpoilsNoOtherMailbox)
{
    FailingPorts failing;
    for (const auto& failure : failing.All()) {
        TempDir dir;
        std::string ini = WriteSettings(
            dir, {{"bad1", failure.port}, {"good1", dovecot_.Port()}, {"bad2", failure.port}, {"good2", dovecot_.Port()}},
            "tester", "s3cret", false);

        auto run = RunTool({"check-mail", ini, "--repeat", "2", "--timeout", "300"});

        EXPECT_EQ(run.exitCode, 0) << run.err;
        int64_t bytes = MailboxBytes();
        auto refused = [&](const std::string& name) {
            return Balloon(skConErrMes, name, "", 0, 0) + "log: Mail Error " + failure.error + "\n";
        };
        std::string check = kConnect + refused("bad1") + MailLog("good1", 2) + refused("bad2") + MailLog("good2", 2) +
                            Balloon(skManyMes, "good1", "", 2, bytes) + Balloon(skManyMes, "good2", "", 2, bytes) +
                            Balloon(skTotalMes, "", "", 4, 2 * bytes);
        EXPECT_EQ(run.out, check + check) << failure.error << "\n" << dovecot_.Log();
    }
}

// Each profile's own TLS choice: STLS on the plain port, implicit TLS on the
// other (by name), both with the test CA; a profile without the CA is
// refused with its reason before it logs in.
TEST_F(CheckMailDovecot, EachProfileUsesItsOwnTlsChoice)
{
    using pendar::TMailTls;
    const std::string ca = TestCertificates::Shared().CaFile();
    TAppSettings s;
    s.profiles[0] = {"stls", "127.0.0.1", dovecot_.Port(), "tester", "s3cret", false, {}, TMailTls::StartTls, ca};
    s.profiles[1] = {"implicit", "localhost", dovecot_.TlsPort(), "tester", "s3cret", true, {}, TMailTls::Implicit, ca};
    s.profiles[2] = {"unknown CA", "127.0.0.1", dovecot_.TlsPort(), "nobody", "s3cret", false, {}, TMailTls::Implicit};
    TempDir dir;
    std::string ini = dir.File("Pendar.ini");
    std::string error;
    ASSERT_TRUE(SaveSettingsFile(ini, s, &error)) << error;

    auto run = RunTool({"check-mail", ini, "--timeout", "5000"});

    EXPECT_EQ(run.exitCode, 0) << run.err;
    int64_t bytes = MailboxBytes();
    EXPECT_EQ(run.out, kConnect + MailLog("stls", 2) + MailLog("implicit", 2) +
                           Balloon(skConErrMes, "unknown CA", "", 0, 0) +
                           "log: Mail Error TLS certificate from an untrusted issuer\n" +
                           Balloon(skManyMes, "stls", "", 2, bytes) + Balloon(skManyMes, "implicit", "", 2, bytes) +
                           Balloon(skTotalMes, "", "", 4, 2 * bytes))
        << dovecot_.Log();
    auto logIns = dovecot_.LogIns();
    EXPECT_EQ(logIns.size(), 2u) << dovecot_.Log();
    for (const std::string& line : logIns)
        EXPECT_NE(line.find(", TLS"), std::string::npos) << line;
}

} // namespace
