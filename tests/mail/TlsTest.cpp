// POP3 over TLS against the scripted server running a real handshake with
// certificates from a test CA: both ways into TLS with both log-ins, and
// every refusal, each ending with its reason before the time-out, with
// nothing of the credentials on the wire and the client as good as new.
#include "Pop3Session.h"

#include "support/ScriptedTlsServer.h"
#include "support/TestCertificates.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace pendar::test;

ServerStep Tls(const std::string& kind)
{
    return Upgrade(TlsUpgrade(TestCertificates::Shared().Certificate(kind), TestCertificates::Shared().Key()));
}

class Pop3Tls : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!TestCertificates::Shared().Made())
            FAIL() << TestCertificates::Shared().Why();
    }
};

const std::string kUser = "mrose";
const std::string kPassword = "tanstaaf";

// The server's side after the greeting: a log-in, STAT of a mailbox of two
// messages, and QUIT.
std::vector<ServerStep> UserLogIn()
{
    return Script({Reply("+OK\r\n"), Reply("+OK\r\n"), Reply("+OK 2 320\r\n"), Reply("+OK bye\r\n")});
}

std::vector<ServerStep> ApopLogIn()
{
    return Script({Reply("+OK\r\n"), Reply("+OK 2 320\r\n"), Reply("+OK bye\r\n")});
}

TEST_F(Pop3Tls, BothWaysIntoTlsWithBothLogIns)
{
    const std::vector<ServerStep> stls = {Say(kGreeting), Hear(), Say("+OK begin TLS\r\n"), Tls("good")};
    const std::string userPass = "USER mrose\r\nPASS tanstaaf\r\nSTAT\r\nQUIT\r\n";
    const std::string apop = kRfcApop + "STAT\r\nQUIT\r\n";
    struct {
        const char* name;
        TPop3Tls tls;
        bool apop;
        std::string host; // a name is checked through SNI, an address by itself
        std::vector<ServerStep> server;
        std::string transcript; // what the server read, after TLS through it
    } const cases[] = {
        {"implicit, user and password", TPop3Tls::Implicit, false, "127.0.0.1",
         Script({{Tls("good"), Say(kGreeting)}, UserLogIn()}), userPass},
        {"implicit by name, apop", TPop3Tls::Implicit, true, "localhost",
         Script({{Tls("good"), Say(kGreeting)}, ApopLogIn()}), apop},
        {"stls, user and password", TPop3Tls::StartTls, false, "127.0.0.1", Script({stls, UserLogIn()}),
         "STLS\r\n" + userPass},
        {"stls by name, apop", TPop3Tls::StartTls, true, "localhost", Script({stls, ApopLogIn()}), "STLS\r\n" + apop},
    };
    for (const auto& c : cases) {
        ScriptedPop3Server server(c.server);
        TNMAPOP pop;
        Aim(pop, server.Port(), 5000, kUser, kPassword);
        pop.Host = c.host;
        pop.APOP = c.apop;
        pop.Tls = c.tls;
        pop.CaFile = TestCertificates::Shared().CaFile();
        EXPECT_EQ(RunSession(pop, 0), "count 2") << c.name;
        EXPECT_EQ(server.Transcript(), c.transcript) << c.name;
        std::string wire = server.Wire();
        for (const std::string& secret : {kUser, kPassword, std::string("c4c9334bac560ecc")})
            EXPECT_EQ(wire.find(secret), std::string::npos) << c.name << ": " << secret << " on the wire";
    }
}

TEST_F(Pop3Tls, HeadersOverTls)
{
    ScriptedPop3Server server(Script({{Tls("good"), Say(kGreeting)},
                                    Script({Reply("+OK\r\n"), Reply("+OK\r\n"), Reply("+OK 1 9\r\n"),
                                            Reply("+OK\r\nReceived: x\r\nSubject: over TLS\r\n.\r\n"),
                                            Reply("+OK 1 1234\r\n"), Reply("+OK 1 uid-1\r\n"), Reply("+OK\r\n")})}));
    TNMAPOP pop;
    Aim(pop, server.Port(), 5000);
    pop.Tls = TPop3Tls::Implicit;
    pop.CaFile = TestCertificates::Shared().CaFile();
    EXPECT_EQ(RunSession(pop, 1), "count 1 | [ over TLS] 1234 uid-1");
    EXPECT_EQ(server.Transcript(), "USER u\r\nPASS p\r\nSTAT\r\nTOP 1 0\r\nLIST 1\r\nUIDL 1\r\nQUIT\r\n");
}

// Each refusal ends the session with its reason, long before the time-out
// (which only the server that never answers reaches), sends nothing of the
// credentials, and leaves the client ready for the next mailbox.
TEST_F(Pop3Tls, Refusals)
{
    const std::string ca = TestCertificates::Shared().CaFile();
    struct {
        const char* name;
        TPop3Tls tls;
        std::string host;
        std::string caFile;
        std::vector<ServerStep> server;
        std::string error;
        int timeOut = 5000;
        int cancelAfterMs = 0; // Abort from the event loop; 0: never
    } const cases[] = {
        {"self-signed", TPop3Tls::Implicit, "127.0.0.1", ca, {Tls("self")},
         "TLS certificate from an untrusted issuer"},
        {"CA not given", TPop3Tls::Implicit, "127.0.0.1", "", {Tls("good")},
         "TLS certificate from an untrusted issuer"},
        {"another host's, by address", TPop3Tls::Implicit, "127.0.0.1", ca, {Tls("other")},
         "TLS certificate is for another host"},
        {"another host's, by name", TPop3Tls::StartTls, "localhost", ca,
         {Say(kGreeting), Hear(), Say("+OK\r\n"), Tls("other")}, "TLS certificate is for another host"},
        {"expired", TPop3Tls::Implicit, "127.0.0.1", ca, {Tls("expired")}, "TLS certificate has expired"},
        {"CA file that cannot be read", TPop3Tls::Implicit, "127.0.0.1", "/nonexistent/ca.pem", {Tls("good")},
         "TLS CA file cannot be read"},
        {"STLS refused", TPop3Tls::StartTls, "127.0.0.1", ca, {Say(kGreeting), Hear(), Say("-ERR not here\r\n")},
         "STLS refused: -ERR not here"},
        {"clear text after the STLS answer", TPop3Tls::StartTls, "127.0.0.1", ca,
         {Say(kGreeting), Hear(), Say("+OK go ahead\r\n+OK injected\r\n"), Hang()},
         "TLS handshake failed: the server sent data before the handshake"},
        {"plain text instead of a handshake", TPop3Tls::Implicit, "127.0.0.1", ca, {Say(kGreeting), Hang()},
         "TLS handshake failed: wrong version number"},
        {"garbage instead of a handshake", TPop3Tls::Implicit, "127.0.0.1", ca,
         {Say(std::string("\x16\x03\x03\x00\x04\x0e\x00\x00\x00", 9)), Hang()},
         "TLS handshake failed: unexpected message"},
        {"closed mid-handshake", TPop3Tls::Implicit, "127.0.0.1", ca, {HearAny(), Close()},
         "TLS handshake failed: connection closed by the server"},
        {"reset mid-handshake", TPop3Tls::Implicit, "127.0.0.1", ca, {HearAny(), Reset()},
         "TLS handshake failed: 10054:Connection reset by peer"},
        {"never answers the handshake", TPop3Tls::Implicit, "127.0.0.1", ca, {Hang()}, "TLS handshake timed out",
         300},
        {"cancelled during the handshake", TPop3Tls::Implicit, "127.0.0.1", ca, {Hang()}, "TLS handshake canceled",
         5000, 50},
    };
    for (const auto& c : cases) {
        ScriptedPop3Server server(c.server);
        TNMAPOP pop;
        Aim(pop, server.Port(), c.timeOut, kUser, kPassword);
        pop.Host = c.host;
        pop.Tls = c.tls;
        pop.CaFile = c.caFile;
        if (c.cancelAfterMs)
            QTimer::singleShot(c.cancelAfterMs, [&pop] { pop.Abort(); });
        EXPECT_EQ(RunSession(pop, 0), "! ESockError: " + c.error) << c.name;
        EXPECT_FALSE(pop.Connected()) << c.name;
        std::string wire = server.Wire();
        for (const std::string& secret : {kUser, kPassword})
            EXPECT_EQ(wire.find(secret), std::string::npos) << c.name << ": " << secret << " on the wire";

        // As good as new: the next mailbox, over TLS, is read.
        ScriptedPop3Server good(Script({{Tls("good"), Say(kGreeting)}, UserLogIn()}));
        Aim(pop, good.Port(), 5000, kUser, kPassword);
        pop.Tls = TPop3Tls::Implicit;
        pop.CaFile = ca;
        EXPECT_EQ(RunSession(pop, 0), "count 2") << c.name << ", then a good server";
    }
}

} // namespace
