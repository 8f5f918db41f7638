// TNMSNTP against a scripted NTP server on 127.0.0.1, on a fake clock that
// stands still, so that T1 = T4 and every offset is exact.
#include "sntp/NMSNTP.h"

#include "support/FakeClock.h"
#include "support/ScriptedNtpResponder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace pendar::test;

// Unix seconds of the fake clock's instant; its fraction is a quarter second.
constexpr int64_t kNowSeconds = 1717243200; // 2024-06-01 12:00:00 UTC
constexpr int64_t kNow = kNowSeconds * kSecond + kSecond / 4;

struct Client {
    explicit Client(int port, int64_t now = kNow)
    {
        clock.SetUnixNanos(now);
        sntp.RemoteHost = "127.0.0.1";
        sntp.RemotePort = port;
        sntp.LocalPort = 0;
        sntp.TimeOut = 300;
    }
    FakeClock clock;
    TNMSNTP sntp{clock};
    TSntpResult result;
};

// The server answers every request with these datagrams.
ScriptedNtpResponder::Script Always(std::vector<ReplyFields> replies, std::vector<bool> fromOther = {})
{
    return [replies, fromOther](const NtpRequest& request) {
        Answers answers;
        for (size_t i = 0; i < replies.size(); ++i) {
            answers.push_back(ServerReply(request, replies[i]));
            answers.back().fromOtherPort = i < fromOther.size() && fromOther[i];
        }
        return answers;
    };
}

ReplyFields Shifted(int64_t receive, int64_t transmit)
{
    ReplyFields f;
    f.receiveShift = receive;
    f.transmitShift = transmit;
    return f;
}

TEST(SntpClient, PropertiesAndTheVersionRule)
{
    FakeClock clock;
    TNMSNTP sntp(clock);
    EXPECT_EQ(sntp.RemotePort, 123);
    EXPECT_EQ(sntp.LocalPort, 1024);
    EXPECT_EQ(sntp.TimeOut, 10000);
    EXPECT_EQ(sntp.Version(), 4);
    for (int ignored : {0, 2, 3, 5, -1})
        sntp.SetVersion(ignored);
    EXPECT_EQ(sntp.Version(), 4);
    sntp.SetVersion(1);
    EXPECT_EQ(sntp.Version(), 1);

    TSntpResult result;
    result.offsetNanos = 42;
    EXPECT_FALSE(sntp.QueryTime(result)); // no server
    sntp.RemoteHost = "127.0.0.1";
    sntp.RemotePort = 0;
    EXPECT_FALSE(sntp.QueryTime(result));
    EXPECT_EQ(result.offsetNanos, 42) << "a failed query leaves the result alone";
}

TEST(SntpClient, RequestsAsTheServerSeesThem)
{
    ScriptedNtpResponder server(Always({}));
    for (int version : {4, 1}) {
        Client c(server.Port());
        c.sntp.SetVersion(version);
        EXPECT_FALSE(c.sntp.QueryTime(c.result));
    }
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    std::vector<uint8_t> v4(48, 0), v1(48, 0);
    v4[0] = 0x23;
    uint64_t t1 = NtpStampOfUnix(kNowSeconds, 1u << 30); // with its quarter second
    for (int i = 0; i < 8; ++i)
        v4[static_cast<size_t>(40 + i)] = static_cast<uint8_t>(t1 >> (56 - 8 * i));
    v1[0] = 0x0B;
    EXPECT_EQ(requests[0].bytes, v4);
    EXPECT_EQ(requests[1].bytes, v1);
}

TEST(SntpClient, CorrectsByTheOffsetOfTheExchange)
{
    struct Case {
        const char* name;
        ReplyFields reply;
        int64_t offset;
    } cases[] = {
        {"server ahead by 100 s", Shifted(100 * kSecond, 100 * kSecond), 100 * kSecond},
        {"T2 - T1 = -1 s, T3 - T4 = -2 s", Shifted(-kSecond, -2 * kSecond), -3 * kSecond / 2},
        {"behind by a quarter second", Shifted(-kSecond / 4, -kSecond / 4), -kSecond / 4},
        {"in step", Shifted(0, 0), 0},
    };
    for (const Case& c : cases) {
        ScriptedNtpResponder server(Always({c.reply}));
        Client client(server.Port());
        ASSERT_TRUE(client.sntp.QueryTime(client.result)) << c.name << ": " << client.sntp.LastError();
        EXPECT_EQ(client.result.offsetNanos, c.offset) << c.name;
        EXPECT_EQ(client.result.unixNanos, kNow + c.offset) << c.name;
        EXPECT_EQ(client.result.local.millisecond, port::ToLocalTime(kNow + c.offset).millisecond) << c.name;
    }
}

TEST(SntpClient, VersionOneReplyGivesTheServersTransmitTime)
{
    ReplyFields v1;
    v1.version = 1;
    v1.transmit = NtpStampOfUnix(kNowSeconds + 7, 1u << 31); // half a second
    ScriptedNtpResponder server(Always({v1}));
    Client c(server.Port());
    c.sntp.SetVersion(1);
    ASSERT_TRUE(c.sntp.QueryTime(c.result)) << c.sntp.LastError();
    EXPECT_EQ(c.result.unixNanos, (kNowSeconds + 7) * kSecond + kSecond / 2);
    EXPECT_EQ(c.result.local.millisecond, 500);
    EXPECT_EQ(c.result.local.second, port::ToLocalTime((kNowSeconds + 7) * kSecond).second);
}

// The NTP era ends in 2036 and a 32-bit time_t in 2038: the offset and the
// corrected time stay right on both sides of either.
TEST(SntpClient, OffsetsHoldAcrossTheEraAndThe2038Boundary)
{
    const int64_t instants[] = {
        2085978496 - 50, 2085978496 + 50, // 2036-02-07 06:28:16 UTC: NTP seconds wrap
        2147483648 - 50, 2147483648 + 50, // 2038-01-19 03:14:08 UTC
        4294967296 + 10,                  // 2106
    };
    for (int64_t seconds : instants) {
        for (int64_t shift : {100 * kSecond, -100 * kSecond}) {
            ScriptedNtpResponder server(Always({Shifted(shift, shift)}));
            Client c(server.Port(), seconds * kSecond);
            ASSERT_TRUE(c.sntp.QueryTime(c.result)) << seconds << ": " << c.sntp.LastError();
            EXPECT_EQ(c.result.offsetNanos, shift) << seconds;
            EXPECT_EQ(c.result.unixNanos, seconds * kSecond + shift) << seconds;
        }
    }
}

// Each unusable datagram (claiming 1000 s) comes before the real answer
// (100 s): it is passed over, and the wait goes on for the real one.
TEST(SntpClient, PassesOverDatagramsThatAreNoAnswer)
{
    auto bad = [](auto change) {
        ReplyFields f = Shifted(1000 * kSecond, 1000 * kSecond);
        change(f);
        return f;
    };
    struct Case {
        const char* name;
        ReplyFields reply;
        bool fromOtherPort;
    } cases[] = {
        {"47 bytes", bad([](ReplyFields& f) { f.length = 47; }), false},
        {"client mode", bad([](ReplyFields& f) { f.mode = 3; }), false},
        {"broadcast mode", bad([](ReplyFields& f) { f.mode = 5; }), false},
        {"stratum 0", bad([](ReplyFields& f) { f.stratum = 0; }), false},
        {"zero transmit time", bad([](ReplyFields& f) { f.transmit = 0; }), false},
        {"wrong originate", bad([](ReplyFields& f) { f.originate = 12345; }), false},
        {"version 3", bad([](ReplyFields& f) { f.version = 3; }), false},
        {"from another port", bad([](ReplyFields&) {}), true},
    };
    for (const Case& c : cases) {
        ScriptedNtpResponder server(Always({c.reply, Shifted(100 * kSecond, 100 * kSecond)}, {c.fromOtherPort}));
        Client client(server.Port());
        client.sntp.TimeOut = 5000;
        ASSERT_TRUE(client.sntp.QueryTime(client.result)) << c.name << ": " << client.sntp.LastError();
        EXPECT_EQ(client.result.offsetNanos, 100 * kSecond) << c.name;
    }
}

TEST(SntpClient, FailsWithItsReason)
{
    struct Case {
        const char* name;
        std::vector<ReplyFields> replies;
        const char* reason;
    } cases[] = {
        {"no answer", {}, "no reply within 300 ms"},
        {"only a version 3 answer", {[] { ReplyFields f; f.version = 3; return f; }()},
         "no reply within 300 ms (last reply rejected: unsupported version)"},
        {"only a kiss-o'-death", {[] { ReplyFields f; f.stratum = 0; return f; }()},
         "no reply within 300 ms (last reply rejected: stratum 0 (kiss-o'-death))"},
    };
    for (const Case& c : cases) {
        ScriptedNtpResponder server(Always(c.replies));
        Client client(server.Port());
        client.result.offsetNanos = 42;
        EXPECT_FALSE(client.sntp.QueryTime(client.result)) << c.name;
        EXPECT_EQ(client.sntp.LastError(), c.reason) << c.name;
        EXPECT_EQ(client.result.offsetNanos, 42) << c.name;
    }

    // Nobody listens: the port-unreachable answer ends the wait.
    int port;
    {
        ScriptedNtpResponder gone(Always({}));
        port = gone.Port();
    }
    Client client(port);
    client.sntp.TimeOut = 5000;
    EXPECT_FALSE(client.sntp.QueryTime(client.result));
    EXPECT_NE(client.sntp.LastError().find("receive"), std::string::npos) << client.sntp.LastError();
}

TEST(SntpClient, AsksFromLocalPort1024AndFailsWhenItIsTaken)
{
    ScriptedNtpResponder server(Always({Shifted(0, 0)}));
    Client c(server.Port());
    c.sntp.LocalPort = 1024;
    ASSERT_TRUE(c.sntp.QueryTime(c.result)) << c.sntp.LastError();
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].fromPort, 1024);

    ScriptedNtpResponder squatter(Always({}), 1024);
    if (!squatter.Listening())
        GTEST_SKIP() << "cannot take port 1024 for the busy-port case";
    EXPECT_FALSE(c.sntp.QueryTime(c.result));
    EXPECT_NE(c.sntp.LastError().find("cannot bind local port 1024"), std::string::npos) << c.sntp.LastError();
    EXPECT_EQ(server.Requests().size(), 1u);
}

} // namespace
