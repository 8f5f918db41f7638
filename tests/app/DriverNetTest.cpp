// The mail and time driver with its real clients on loopback: closing
// during a check, against a scripted POP3 server, and setting the clock
// from the scripted NTP server on port 123 (root) through a recording setter.
#include "DriverForm.h"

#include "base/Sjis.h"
#include "support/ScriptedNtpResponder.h"
#include "support/ScriptedPop3Server.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using namespace pendar::test;
using Lines = std::vector<std::string>;

// Greets and accepts USER and PASS, then goes on with `then`.
std::vector<ServerStep> AfterLogIn(std::initializer_list<std::vector<ServerStep>> then)
{
    auto s = Script({{Say("+OK ready\r\n")}, Reply("+OK\r\n"), Reply("+OK\r\n")});
    auto rest = Script(then);
    s.insert(s.end(), rest.begin(), rest.end());
    return s;
}

TEST(DriverOnLoopback, ClosingDuringAWaitSendsNoQuit)
{
    ScriptedPop3Server server(AfterLogIn({{Hear(), Hang()}})); // no answer to STAT
    DriverFixture f(Clients::Real);
    TMailProfile& p = f.Profile(0, "127.0.0.1");
    p.port = server.Port();
    QTimer::singleShot(200, [&] { f.form->FormCloseQuery(); });

    f.form->MIMailCheckClick();

    EXPECT_EQ(server.Transcript(), "USER user\r\nPASS pw\r\nSTAT\r\n");
    EXPECT_EQ(f.Balloon(), (Lines{"~CONNECT"}));
    EXPECT_TRUE(f.Log().empty());
    EXPECT_FALSE(f.form->MailBusy());
}

TEST(DriverOnLoopback, ClosingDuringThePauseStartsNoFurtherProfile)
{
    ScriptedPop3Server first(AfterLogIn({Reply("+OK 0 0\r\n"), Reply("+OK bye\r\n")}));
    ScriptedPop3Server second(AfterLogIn({Reply("+OK 0 0\r\n"), Reply("+OK bye\r\n")}));
    DriverFixture f(Clients::Real);
    f.Profile(0, "127.0.0.1").port = first.Port();
    f.Profile(1, "127.0.0.1").port = second.Port();
    // The first mailbox takes milliseconds; the pause after it 500 ms.
    QTimer::singleShot(250, [&] { f.form->FormCloseQuery(); });

    f.form->MIMailCheckClick();

    EXPECT_EQ(first.Transcript(), "USER user\r\nPASS pw\r\nSTAT\r\nQUIT\r\n");
    EXPECT_FALSE(second.Accepted());
    EXPECT_TRUE(f.Log().empty());
}

// A failed connection spoils neither the next mailbox of the check nor the
// first one of the next check: profiles [failing, good, failing, good],
// checked twice, with a connection refused and one that times out.
TEST(DriverOnLoopback, AFailedConnectionSpoilsNoOtherMailbox)
{
    FailingPorts failing;
    const std::string mailbox = "USER user\r\nPASS pw\r\nSTAT\r\nTOP 1 0\r\nLIST 1\r\nQUIT\r\n";
    for (const auto& failure : failing.All()) {
        DriverFixture f(Clients::Real);
        f.form->UseMailTimeOut(300);
        f.form->Settings().sameCheck = false;
        f.Profile(0, "127.0.0.1").port = failure.port;
        f.Profile(2, "127.0.0.1").port = failure.port;
        for (int check = 0; check < 2; ++check) {
            auto oneMessage = [] {
                return AfterLogIn({Reply("+OK 1 50\r\n"), Reply("+OK\r\nSubject: hi\r\n.\r\n"),
                                   Reply("+OK 1 50\r\n"), Reply("+OK bye\r\n")});
            };
            ScriptedPop3Server first(oneMessage()), second(oneMessage());
            f.Profile(1, "127.0.0.1").port = first.Port();
            f.Profile(3, "127.0.0.1").port = second.Port();
            f.world.log.lines.clear();

            f.form->MIMailCheckClick();

            const std::string where = failure.error + ", check " + std::to_string(check);
            EXPECT_EQ(first.Transcript(), mailbox) << where;
            EXPECT_EQ(second.Transcript(), mailbox) << where;
            EXPECT_EQ(f.Log(), (Lines{"255 Mail Error " + failure.error, "0 Mail P1 1" + Sjis("通"),
                                      "255 Mail Error " + failure.error, "0 Mail P3 1" + Sjis("通")}))
                << where;
        }
    }
}

// A server that sends a header line every 20 ms never ends its reply: the
// time-out ends the mailbox as for a line that never comes.
TEST(DriverOnLoopback, ADrippingServerIsCutOffByTheTimeOut)
{
    ScriptedPop3Server server(AfterLogIn({Reply("+OK 1 50\r\n"), {Hear(), Say("+OK\r\n"), Drip("X: y\r\n", 20)}}));
    DriverFixture f(Clients::Real);
    f.form->UseMailTimeOut(300);
    f.Profile(0, "127.0.0.1").port = server.Port();

    f.form->MIMailCheckClick();

    EXPECT_EQ(f.Log(), (Lines{"255 MailRead Error Socket readln aborted"}));
    EXPECT_EQ(server.Transcript(), "USER user\r\nPASS pw\r\nSTAT\r\nTOP 1 0\r\n");
}

TEST(DriverOnLoopback, SetsTheClockFromTheServerOnPort123)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "serving NTP on port 123 needs root";
    ScriptedNtpResponder server([](const NtpRequest& r) {
        ReplyFields ahead;
        ahead.receiveShift = ahead.transmitShift = 100 * kSecond;
        return Answers{ServerReply(r, ahead)};
    }, 123);
    if (!server.Listening())
        GTEST_SKIP() << "port 123 of 127.0.0.1 is taken";
    DriverFixture f(Clients::Real); // the real client reads the fake clock
    f.form->Settings().ntpServer = "127.0.0.1";
    int64_t now = f.world.clock.UnixNanos();

    f.form->MITimeSyncClick();

    EXPECT_EQ(f.world.clockSetter.calls, (std::vector<int64_t>{now + 100 * kSecond}));
    EXPECT_EQ(f.Log(), (Lines{"0 NTP 127.0.0.1" + Sjis(" 時刻設定(誤差100.00秒)")}));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].fromPort, 1024);
}

} // namespace
