// The POP3 client against a scripted loopback server: each case says what
// the server answers, the exact bytes the client must send, and what the
// caller sees (the count, summaries and unique ids, or the failure).
#include "Pop3Session.h"

#include "support/ScriptedPop3Server.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace pendar::test;

std::vector<ServerStep> UserLogIn(const std::string& stat)
{
    return Script({{Say(kGreeting)}, Reply("+OK\r\n"), Reply("+OK\r\n"), Reply(stat)});
}

std::vector<ServerStep> ApopLogIn(const std::string& stat)
{
    return Script({{Say(kGreeting)}, Reply("+OK\r\n"), Reply(stat)});
}

std::vector<ServerStep> Then(std::vector<ServerStep> a, std::initializer_list<std::vector<ServerStep>> more)
{
    for (const auto& part : more)
        a.insert(a.end(), part.begin(), part.end());
    return a;
}

const char* kUserStat = "USER mrose\r\nPASS tanstaaf\r\nSTAT\r\n";
const std::string kApopStat = kRfcApop + "STAT\r\n";

struct Pop3Case {
    const char* name;
    bool apop;
    std::vector<ServerStep> server;
    int reads;
    std::string transcript; // what the client must send, byte for byte
    std::string seen;       // what the caller sees
    std::string user = "mrose";
    std::string password = "tanstaaf";
};

std::vector<Pop3Case> Cases()
{
    const std::string top = "+OK\r\nReceived: from x\r\n..dot-stuffed\r\nSubject: =?UTF-8?B?44GC?=\r\n\r\n.\r\n";
    const std::string header = std::string(std::string(1000, 'h') + "\r\n");
    std::string manyLines;
    for (int i = 0; i <= TNMPOP3::kMaxHeaderLines; ++i)
        manyLines += "X: y\r\n";
    return {
        {"user log-in, summary and unique id", false,
         Then(UserLogIn("+OK 2 320\r\n"), {Reply(top), Reply("+OK 1 1234\r\n"), Reply("+OK 1 uid-1\r\n"),
                                           Reply("+OK bye\r\n")}),
         1, std::string(kUserStat) + "TOP 1 0\r\nLIST 1\r\nUIDL 1\r\nQUIT\r\n",
         "count 2 | [ =?UTF-8?B?44GC?=] 1234 uid-1"},
        {"rfc 1939 apop example", true, Then(ApopLogIn("+OK 2 320\r\n"), {Reply("+OK\r\n")}), 0,
         kApopStat + "QUIT\r\n", "count 2"},
        {"apop timestamp from first < to last >", true,
         Then({Say("+OK <a> mid <b> x\r\n")}, {Reply("+OK\r\n"), Reply("+OK 0 0\r\n"), Reply("+OK\r\n")}), 0,
         "APOP u 6bfe681f1b94177e0f65ab0a62251a1e\r\nSTAT\r\nQUIT\r\n", "count 0", "u", "secret"},
        {"greeting without a timestamp", true, Then({Say("+OK ready\r\n")}, {Reply("+OK\r\n")}), 0, "QUIT\r\n",
         "! ESocketError: timestamp without existing"},
        {"timestamp with a control byte", true, Then({Say("+OK <a\x01@b>\r\n")}, {Reply("+OK\r\n")}), 0,
         "QUIT\r\n", "! ESocketError: timestamp without existing"},
        {"timestamp beyond ascii", true, Then({Say("+OK <a\xC0@b>\r\n")}, {Reply("+OK\r\n")}), 0, "QUIT\r\n",
         "! ESocketError: timestamp without existing"},
        {"apop refused", true, Then({Say(kGreeting)}, {Reply("-ERR no\r\n"), Reply("+OK\r\n")}), 0,
         kRfcApop + "QUIT\r\n", "! ESocketError: Authentication Error"},
        {"apop with a line break in the user name", true, Then({Say(kGreeting)}, {Reply("+OK\r\n")}), 0,
         "QUIT\r\n", "! ESocketError: Authentication Error", "mrose\r\nDELE 1"},
        {"apop stat without counts", true, Then(ApopLogIn("+OK\r\n"), {Reply("+OK\r\n")}), 0,
         kApopStat + "QUIT\r\n", "! ESocketError: STAT Command Error"},
        {"apop stat count not a number", true, Then(ApopLogIn("+OK x2 3\r\n"), {Reply("+OK\r\n")}), 0,
         kApopStat + "QUIT\r\n", "! EConvertError: 'x2' is not a valid integer value"},
        {"user stat without counts", false, Then(UserLogIn("+OK\r\n"), {Reply("+OK\r\n")}), 0,
         std::string(kUserStat) + "QUIT\r\n", "count 0"},
        {"user stat of an empty mailbox", false, Then(UserLogIn("+OK 0 0\r\n"), {Reply("+OK\r\n")}), 0,
         std::string(kUserStat) + "QUIT\r\n", "count 0"},
        {"user refused", false, Script({{Say(kGreeting)}, Reply("-ERR who\r\n"), Reply("+OK\r\n")}), 0,
         "USER mrose\r\nQUIT\r\n", "! EMailError: Authentication failed"},
        {"password refused", false,
         Script({{Say(kGreeting)}, Reply("+OK\r\n"), Reply("-ERR\r\n"), Reply("+OK\r\n")}), 0,
         "USER mrose\r\nPASS tanstaaf\r\nQUIT\r\n", "! EMailError: Authentication failed"},
        {"line break in the password", false, {}, 0, "", "! EMailError: Authentication failed", "mrose",
         "x\nDELE 1"},
        {"empty password", false, {}, 0, "", "! EMailError: Authentication failed", "mrose", ""},
        {"greeting refused", false, Script({{Say("-ERR busy\x1B[2J\r\n")}, Reply("+OK\r\n")}), 0, "QUIT\r\n",
         "! EMailError: -ERR busy [2J \n"},
        {"stat refused", false, Then(UserLogIn("-ERR locked\r\n"), {Reply("+OK\r\n")}), 0,
         std::string(kUserStat) + "QUIT\r\n", "! EMailError: -ERR locked \n"},
        {"server closes instead of greeting", false, {Close()}, 0, "",
         "! ESockError: Connection closed by server"},
        {"two replies in one segment, one byte per segment", false,
         Script({{Say(kGreeting + "+OK\r\n"), Hear()}, Reply("+OK\r\n"), {Hear(), SayBytewise("+OK 1 5\r\n")},
                 Reply("+OK\r\n")}),
         0, std::string(kUserStat) + "QUIT\r\n", "count 1"},
        {"subject lines", false,
         Then(UserLogIn("+OK 1 9\r\n"),
              {Reply("+OK\r\nsubject: low\r\nSubject: first\r\nSubject: second\n\tfolded\r\nX: y\r\n.\r\n"),
               Reply("+OK 1 5000000000\r\n"), Reply("+OK 1 u\r\n"), Reply("+OK\r\n")}),
         1, std::string(kUserStat) + "TOP 1 0\r\nLIST 1\r\nUIDL 1\r\nQUIT\r\n", "count 1 | [ second] 5000000000 u"},
        {"empty subject and lower-case name", false,
         Then(UserLogIn("+OK 1 9\r\n"),
              {Reply("+OK\r\nSubject:\r\nsubject: x\r\n.\r\n"), Reply("+OK 1 7\r\n"), Reply("+OK 1 u\r\n"),
               Reply("+OK\r\n")}),
         1, std::string(kUserStat) + "TOP 1 0\r\nLIST 1\r\nUIDL 1\r\nQUIT\r\n", "count 1 | [] 7 u"},
        {"top refused", false, Then(UserLogIn("+OK 1 9\r\n"), {Reply("-ERR gone\r\n"), Reply("+OK\r\n")}), 1,
         std::string(kUserStat) + "TOP 1 0\r\nQUIT\r\n", "count 1 ! EMailError: -ERR gone \n"},
        {"top cut off by the server", false,
         Then(UserLogIn("+OK 1 9\r\n"), {{Hear(), Say("+OK\r\nReceived: x\r\n"), Close()}}), 1,
         std::string(kUserStat) + "TOP 1 0\r\n", "count 1 ! ESockError: Connection closed by server"},
        {"top with too many lines", false,
         Then(UserLogIn("+OK 1 9\r\n"), {{Hear(), Say("+OK\r\n" + manyLines + ".\r\n"), Hang()}}), 1,
         std::string(kUserStat) + "TOP 1 0\r\n", "count 1 ! ESockError: Header too long"},
        {"list size not a number", false,
         Then(UserLogIn("+OK 1 9\r\n"), {Reply(top), Reply("+OK 1 -5\r\n"), Reply("+OK\r\n")}), 1,
         std::string(kUserStat) + "TOP 1 0\r\nLIST 1\r\nQUIT\r\n",
         "count 1 ! EConvertError: '-5' is not a valid integer value"},
        {"uidl refused", false,
         Then(UserLogIn("+OK 1 9\r\n"),
              {Reply(top), Reply("+OK 1 9\r\n"), Reply("-ERR no uidl\r\n"), Reply("+OK\r\n")}),
         1, std::string(kUserStat) + "TOP 1 0\r\nLIST 1\r\nUIDL 1\r\nQUIT\r\n",
         "count 1 | [ =?UTF-8?B?44GC?=] 9 ! EMailError: -ERR no uidl \n"},
        {"quit refused", false, Then(UserLogIn("+OK 0 0\r\n"), {Reply("-ERR later\r\n")}), 0,
         std::string(kUserStat) + "QUIT\r\n", "count 0 ! EMailError: -ERR later \n"},
    };
}

TEST(Pop3, Exchanges)
{
    for (const auto& c : Cases()) {
        ScriptedPop3Server server(c.server);
        TNMAPOP pop;
        Aim(pop, server.Port(), 2000, c.user, c.password);
        pop.APOP = c.apop;
        EXPECT_EQ(RunSession(pop, c.reads), c.seen) << c.name;
        EXPECT_FALSE(pop.Connected()) << c.name;
        EXPECT_EQ(server.Transcript(), c.transcript) << c.name;
    }
}

// A time-out ends the exchange like a line that never comes and drops the
// connection without QUIT: a server that says nothing, and one whose header
// never ends although a line comes every 20 ms (the time-out bounds the
// reply as a whole, not each line).
TEST(Pop3, TimeOutsDropTheConnection)
{
    struct {
        const char* name;
        std::vector<ServerStep> server;
        int reads;
        std::string seen;
        std::string transcript;
    } const cases[] = {
        {"silent server", Script({{Say(kGreeting)}, {Hear(), Hang()}}), 0, "! EAbortError: Socket readln aborted",
         "USER u\r\n"},
        {"dripping header",
         Script({{Say(kGreeting)}, Reply("+OK\r\n"), Reply("+OK\r\n"), Reply("+OK 1 9\r\n"),
                 {Hear(), Say("+OK\r\n"), Drip("X-Slow: line\r\n", 20)}}),
         1, "count 1 ! EAbortError: Socket readln aborted", "USER u\r\nPASS p\r\nSTAT\r\nTOP 1 0\r\n"},
    };
    for (const auto& c : cases) {
        ScriptedPop3Server server(c.server);
        TNMAPOP pop;
        Aim(pop, server.Port(), 300);
        EXPECT_EQ(RunSession(pop, c.reads), c.seen) << c.name;
        EXPECT_FALSE(pop.Connected()) << c.name;
        EXPECT_EQ(server.Transcript(), c.transcript) << c.name;
    }
}

// The mail check's own order: a mailbox that fails, then one that works,
// with the same client. Whatever the failure, the next one is read.
TEST(Pop3, AfterAFailureTheNextMailboxIsRead)
{
    RefusingPort refusing;
    SilentListener silent;
    ScriptedPop3Server resetting({Say(kGreeting), Hear(), Reset()});
    ScriptedPop3Server hanging(Script({{Say(kGreeting)}, {Hear(), Hang()}}));
    struct {
        const char* name;
        std::string host;
        int port;
        int cancelAfterMs; // Cancel from the event loop; 0: never
        std::string seen;
    } const cases[] = {
        {"refused", "127.0.0.1", refusing.Port(), 0, "! ESockError: Connection Failed"},
        {"connect timed out", "127.0.0.1", silent.Port(), 0, "! ESockError: Connection Timed out"},
        {"connect cancelled", "127.0.0.1", silent.Port(), 50, "! ESockError: Connection Canceled"},
        {"name that does not resolve", "no-such-host.invalid", 110, 0, "! ESockError: Null Remote Address"},
        {"reset by the server", "127.0.0.1", resetting.Port(), 0, "! ESockError: 10054:Connection reset by peer"},
        {"reply timed out", "127.0.0.1", hanging.Port(), 0, "! EAbortError: Socket readln aborted"},
    };
    for (const auto& c : cases) {
        TNMAPOP pop;
        Aim(pop, c.port, 300, "mrose", "tanstaaf");
        pop.Host = c.host;
        if (c.cancelAfterMs)
            QTimer::singleShot(c.cancelAfterMs, [&pop] { pop.Abort(); });
        EXPECT_EQ(RunSession(pop, 0), c.seen) << c.name;

        for (int round = 0; round < 2; ++round) {
            ScriptedPop3Server good(Then(UserLogIn("+OK 3 90\r\n"), {Reply("+OK\r\n")}));
            Aim(pop, good.Port(), 300, "mrose", "tanstaaf");
            EXPECT_EQ(RunSession(pop, 0), "count 3") << c.name << ", round " << round;
            EXPECT_EQ(good.Transcript(), std::string(kUserStat) + "QUIT\r\n") << c.name << ", round " << round;
        }
    }
}

TEST(Pop3, ReadsStartedDuringAReadReturnAtOnce)
{
    // The window's handlers run while a summary is read; a second read
    // started from one of them must not talk to the server.
    ScriptedPop3Server server(Script({{Say("+OK\r\n")}, Reply("+OK\r\n"), Reply("+OK\r\n"), Reply("+OK 2 9\r\n"),
                                      {Hear(), SayBytewise("+OK\r\nSubject: slow\r\nX: abcdefghijklmnop\r\n.\r\n")},
                                      Reply("+OK 1 5\r\n"), Reply("+OK\r\n")}));
    TNMAPOP pop;
    Aim(pop, server.Port(), 2000);
    pop.Connect();
    std::string nestedUidl = "not called";
    QTimer::singleShot(20, [&] {
        pop.RetrieveSummary(2);
        nestedUidl = pop.RetrieveUidl(2);
    });
    pop.RetrieveSummary(1);
    pop.Disconnect();
    EXPECT_EQ(nestedUidl, "");
    EXPECT_EQ(pop.Summary().Subject, " slow");
    EXPECT_EQ(server.Transcript(), "USER u\r\nPASS p\r\nSTAT\r\nTOP 1 0\r\nLIST 1\r\nQUIT\r\n");
}

TEST(Pop3, ReadsNeedAConnection)
{
    TNMAPOP pop;
    EXPECT_THROW(pop.RetrieveSummary(1), EMailError);
    EXPECT_THROW(pop.RetrieveUidl(1), EMailError);
    pop.Disconnect(); // nothing to say good-bye to
}

} // namespace
