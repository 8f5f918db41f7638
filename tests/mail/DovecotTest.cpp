// pendar-tool pop3 against a real POP3 server: a private Dovecot on a
// loopback port with its own configuration, users and Maildir, in the clear,
// with STLS and with implicit TLS (a certificate of a test CA), started and
// stopped by this test. Skipped (and says why) where Dovecot is missing.
#include "support/PrivateDovecot.h"
#include "support/RunTool.h"
#include "support/TestCertificates.h"

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;

struct Message {
    std::string file; // Maildir name; its base is the unique id
    std::string subject;
    std::string shown; // the subject as pendar-tool prints it
};

// Subjects in every encoding the clock decodes.
const Message kMessages[] = {
    {"1700000001.M1P1.pendar", "=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=", "テスト"},
    {"1700000002.M2P1.pendar", "=?UTF-8?B?5pel5pys6Kqe?=", "日本語"},
    {"1700000003.M3P1.pendar", "Re: =?utf-8?Q?=E4=BB=B6=E5=90=8D?= x", "Re: 件名 x"},
    {"1700000004.M4P1.pendar", "=?Shift_JIS?B?l1yS6A==?=", "予定"},
    {"1700000005.M5P1.pendar", "=?EUC-JP?B?svG1xA==?= =?EUC-JP?B?svG1xA==?=", "会議 会議"},
};

std::string MessageText(const Message& m)
{
    return "From: sender@example.org\r\nTo: tester@example.org\r\nSubject: " + m.subject +
           "\r\nMessage-ID: <" + m.file + "@example.org>\r\n\r\nHello.\r\n";
}

class Dovecot : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!TestCertificates::Shared().Made())
            FAIL() << TestCertificates::Shared().Why();
        std::vector<PrivateDovecot::Mail> mails;
        for (const auto& m : kMessages)
            mails.push_back({m.file, MessageText(m)});
        std::string why;
        PrivateDovecot::Tls tls{TestCertificates::Shared().Certificate("good"), TestCertificates::Shared().Key()};
        switch (server_.Start(mails, &why, tls)) {
        case PrivateDovecot::Outcome::Running: break;
        case PrivateDovecot::Outcome::Skipped: GTEST_SKIP() << why;
        case PrivateDovecot::Outcome::Failed: FAIL() << why;
        }
    }

    // `tls`: the --tls and --ca-file options, if any.
    ToolRun ListMailbox(const std::string& password, bool apop, const std::string& limit = "100",
                        const std::vector<std::string>& tls = {}, int port = 0)
    {
        std::vector<std::string> args = {"pop3",   "--host",     "127.0.0.1", "--port",
                                         std::to_string(port ? port : server_.Port()),
                                         "--user", "tester",     "--password", password,
                                         "--timeout", "10000",  "--limit",   limit};
        if (apop)
            args.push_back("--apop");
        args.insert(args.end(), tls.begin(), tls.end());
        return RunTool(args);
    }

    std::string ExpectedListing() const
    {
        std::string listing = "count " + std::to_string(std::size(kMessages)) + "\n";
        int i = 0;
        for (const auto& m : kMessages)
            listing += std::to_string(++i) + "\t" + m.file + "\t" + std::to_string(MessageText(m).size()) + "\t" +
                       m.shown + "\n";
        return listing;
    }

    PrivateDovecot server_;
};

TEST_F(Dovecot, ListsTheMailboxWithBothLogIns)
{
    for (bool apop : {false, true}) {
        auto run = ListMailbox("s3cret", apop);
        EXPECT_EQ(run.exitCode, 0) << run.err << server_.Log();
        EXPECT_EQ(run.out, ExpectedListing()) << (apop ? "APOP" : "USER/PASS");
    }
}

TEST_F(Dovecot, ListsTheMailboxOverTlsWithBothLogIns)
{
    const struct {
        const char* mode;
        int port;
    } modes[] = {{"starttls", server_.Port()}, {"implicit", server_.TlsPort()}};
    const std::string ca = TestCertificates::Shared().CaFile();
    for (const auto& m : modes) {
        for (bool apop : {false, true}) {
            auto run = ListMailbox("s3cret", apop, "100", {"--tls", m.mode, "--ca-file", ca}, m.port);
            EXPECT_EQ(run.exitCode, 0) << run.err << server_.Log();
            EXPECT_EQ(run.out, ExpectedListing()) << m.mode << (apop ? " APOP" : " USER/PASS");
        }
    }
    // Dovecot saw four log-ins, each over TLS.
    auto logIns = server_.LogIns();
    EXPECT_EQ(logIns.size(), 4u) << server_.Log();
    for (const std::string& line : logIns)
        EXPECT_NE(line.find(", TLS"), std::string::npos) << line;
}

// Without the test CA the certificate's issuer is unknown: the tool fails
// with the reason, as any other failure, and never logs in.
TEST_F(Dovecot, TlsFromAnUnknownIssuerIsRefused)
{
    for (const char* mode : {"starttls", "implicit"}) {
        int port = std::string(mode) == "implicit" ? server_.TlsPort() : server_.Port();
        auto run = ListMailbox("s3cret", false, "100", {"--tls", mode}, port);
        EXPECT_EQ(run.exitCode, 1) << mode;
        EXPECT_EQ(run.out, "") << mode;
        EXPECT_EQ(run.err, "TLS certificate from an untrusted issuer\n") << mode;
    }
    EXPECT_TRUE(server_.LogIns().empty()) << server_.Log();
}

TEST_F(Dovecot, OverTheLimitOnlyCounts)
{
    auto run = ListMailbox("s3cret", true, "4");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "count 5\n");
}

// One refusal per server: Dovecot delays further failures from one address.
TEST_F(Dovecot, WrongPasswordIsRefusedUserPass)
{
    auto run = ListMailbox("wrong", false);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Authentication failed\n");
}

TEST_F(Dovecot, WrongPasswordIsRefusedApop)
{
    auto run = ListMailbox("wrong", true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Authentication Error\n");
}

} // namespace
