// The socket layer against real loopback connections.
#include "mail/MailErrors.h"
#include "mail/Powersock.h"

#include "support/ScriptedPop3Server.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace pendar::test;

// Runs `f` and returns the text of what it raised ("" when nothing).
std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

struct Sock : TPowersock {
    explicit Sock(int port, int timeOut = 2000)
    {
        Host = "127.0.0.1";
        Port = port;
        TimeOut = timeOut;
    }
};

TEST(Powersock, LinesArriveWhateverTheSegments)
{
    // Two lines in one segment, a line in one-byte segments, an LF line end.
    ScriptedPop3Server server({Say("+OK one\r\n+OK two\r\n"), SayBytewise("+OK three\r\n"), Say("four\n")});
    Sock sock(server.Port());
    sock.Connect();
    EXPECT_TRUE(sock.Connected());
    EXPECT_EQ(sock.ReadLn(), "+OK one\r\n");
    EXPECT_EQ(sock.ReadLn(), "+OK two\r\n");
    EXPECT_EQ(sock.ReadLn(), "+OK three\r\n");
    EXPECT_EQ(sock.ReadLn(), "four\n");
    sock.Disconnect();
    EXPECT_FALSE(sock.Connected());
}

TEST(Powersock, TransactionSendsTheCommandAndKeepsTheReply)
{
    ScriptedPop3Server server(Script({Reply("+OK fine\r\n"), Reply("+OK\r\n")}));
    Sock sock(server.Port());
    sock.Connect();
    EXPECT_EQ(sock.Transaction("NOOP"), "+OK fine\r\n");
    EXPECT_EQ(sock.LastReply(), "+OK fine\r\n");
    EXPECT_EQ(sock.Transaction(std::string("AB\0CD", 5)), "+OK\r\n"); // up to the first NUL
    sock.Disconnect();
    EXPECT_EQ(server.Transcript(), "NOOP\r\nAB\r\n");
}

TEST(Powersock, ServerThatClosesGivesEmptyLines)
{
    ScriptedPop3Server server({Say("partial line"), Close()});
    Sock sock(server.Port());
    sock.Connect();
    EXPECT_EQ(sock.ReadLn(), "");
    EXPECT_EQ(sock.ReadLn(), "");
}

TEST(Powersock, ReadTimesOutOnASilentServer)
{
    ScriptedPop3Server server({Hang()});
    Sock sock(server.Port(), 200);
    sock.Connect();
    EXPECT_EQ(ErrorOf([&] { sock.ReadLn(); }), "Socket readln aborted");
    // The cancellation is used up: the component stays usable.
    sock.Disconnect();
    ScriptedPop3Server next({Say("+OK again\r\n")});
    sock.Port = next.Port();
    sock.Connect();
    EXPECT_EQ(sock.ReadLn(), "+OK again\r\n");
}

TEST(Powersock, EventLoopRunsWhileWaiting)
{
    // The window's timers keep firing during a wait, and a handler can
    // cancel the running read.
    ScriptedPop3Server server({Hang()});
    Sock sock(server.Port(), 0);
    sock.Connect();
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (++ticks == 5)
            sock.Cancel();
    });
    tick.start(10);
    EXPECT_EQ(ErrorOf([&] { sock.ReadLn(); }), "Socket readln aborted");
    EXPECT_EQ(ticks, 5);
}

TEST(Powersock, ConnectFailures)
{
    RefusingPort refusing;
    SilentListener silent;
    struct {
        const char* name;
        std::string host;
        int port;
        std::string error;
    } const cases[] = {
        {"refused", "127.0.0.1", refusing.Port(), "Connection Failed"},
        {"never accepted", "127.0.0.1", silent.Port(), "Connection Timed out"},
        {"name that does not resolve", "no-such-host.invalid", 110, "Null Remote Address"},
        {"empty name", "", 110, "Null Remote Address"},
    };
    for (const auto& c : cases) {
        Sock sock(c.port, 300);
        sock.Host = c.host;
        EXPECT_EQ(ErrorOf([&] { sock.Connect(); }), c.error) << c.name;
        EXPECT_FALSE(sock.Connected()) << c.name;
    }
}

TEST(Powersock, CancelEndsAConnectWait)
{
    SilentListener silent;
    Sock sock(silent.Port(), 0);
    QTimer::singleShot(50, [&] { sock.Cancel(); });
    EXPECT_EQ(ErrorOf([&] { sock.Connect(); }), "Connection Canceled");
}

TEST(Powersock, ConnectsByName)
{
    ScriptedPop3Server server({Say("+OK by name\r\n")});
    Sock sock(server.Port());
    sock.Host = "localhost";
    sock.Connect();
    EXPECT_EQ(sock.ReadLn(), "+OK by name\r\n");
}

TEST(Powersock, ConnectWhileConnectedIsRefused)
{
    ScriptedPop3Server server({Hang()});
    Sock sock(server.Port());
    sock.Connect();
    EXPECT_EQ(ErrorOf([&] { sock.Connect(); }), "Already connected");
}

TEST(Powersock, CheckConnectionNeedsAConnection)
{
    Sock sock(1);
    EXPECT_EQ(ErrorOf([&] { sock.CheckConnection(); }), "Not Connected");
    EXPECT_EQ(ErrorOf([&] { sock.ReadLn(); }), ""); // nothing to read, nothing raised
}

TEST(Powersock, ResetConnectionIsAnErrorNotASignal)
{
    // Without MSG_NOSIGNAL the second send would end the test program.
    ScriptedPop3Server server({Close()});
    Sock sock(server.Port());
    sock.Connect();
    EXPECT_EQ(sock.ReadLn(), "");
    std::string error;
    for (int i = 0; i < 20 && error.empty(); ++i)
        error = ErrorOf([&] { sock.Writeln("NOOP"); });
    EXPECT_EQ(error, "10054:Connection reset by peer");
}

TEST(Powersock, SendLimit)
{
    ScriptedPop3Server server(Reply("+OK\r\n"));
    Sock sock(server.Port());
    sock.Connect();
    EXPECT_EQ(ErrorOf([&] { sock.Write(std::string(65536, 'y')); }), "Range check error");
    EXPECT_EQ(ErrorOf([&] { sock.Write(std::string(65535, 'x')); }), "");
    EXPECT_EQ(sock.Transaction(""), "+OK\r\n");
    sock.Disconnect();
    EXPECT_EQ(server.Transcript(), std::string(65535, 'x') + "\r\n");
}

TEST(Powersock, LongLines)
{
    // Real headers reach 90 KB; up to 1 MiB a line is put together, beyond
    // that the read fails instead of growing without end.
    std::string longest(TPowersock::kMaxLineBytes - 2, 'x');
    std::string tooLong(TPowersock::kMaxLineBytes + 1, 'y');
    ScriptedPop3Server server({Say(longest + "\r\n"), Say(tooLong + "\r\n")});
    Sock sock(server.Port());
    sock.Connect();
    EXPECT_EQ(sock.ReadLn(), longest + "\r\n");
    EXPECT_EQ(ErrorOf([&] { sock.ReadLn(); }), "Line too long");
}

} // namespace
