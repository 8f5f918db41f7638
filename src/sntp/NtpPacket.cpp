#include "sntp/NtpPacket.h"

namespace pendar::ntp {

namespace {

constexpr int64_t kNanosPerSecond = 1000000000;

uint64_t ReadTimestamp(const uint8_t* p)
{
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = v << 8 | p[i];
    return v;
}

void WriteTimestamp(uint8_t* p, uint64_t v)
{
    for (int i = 7; i >= 0; --i) {
        p[i] = static_cast<uint8_t>(v);
        v >>= 8;
    }
}

// Fixed-point units (2^-32 s) to the nearest nanosecond.
int64_t UnitsToNanos(__int128 units)
{
    constexpr __int128 kUnitsPerSecond = __int128(1) << 32;
    __int128 scaled = units * kNanosPerSecond;
    scaled += scaled < 0 ? -kUnitsPerSecond / 2 : kUnitsPerSecond / 2;
    return static_cast<int64_t>(scaled / kUnitsPerSecond);
}

} // namespace

uint64_t TimestampFromUnixNanos(int64_t unixNanos)
{
    int64_t secs = unixNanos / kNanosPerSecond;
    int64_t nanos = unixNanos % kNanosPerSecond;
    if (nanos < 0) {
        nanos += kNanosPerSecond;
        --secs;
    }
    uint64_t ntpSeconds = static_cast<uint64_t>(secs) + kUnixEpochSeconds; // modulo 2^32 below: the era
    uint64_t fraction = (static_cast<uint64_t>(nanos) << 32) / kNanosPerSecond;
    return ntpSeconds << 32 | fraction;
}

int64_t DifferenceNanos(uint64_t a, uint64_t b)
{
    return UnitsToNanos(static_cast<int64_t>(a - b));
}

Packet BuildRequest(int version, uint64_t transmit)
{
    Packet p{};
    p[0] = static_cast<uint8_t>(version << 3 | 3); // leap 0, client mode
    if (version == 4)
        WriteTimestamp(&p[40], transmit);
    return p;
}

const char* ReplyFaultText(ReplyFault fault)
{
    switch (fault) {
    case ReplyFault::None: return "usable";
    case ReplyFault::TooShort: return "shorter than 48 bytes";
    case ReplyFault::NotServer: return "not a server reply";
    case ReplyFault::KissOfDeath: return "stratum 0 (kiss-o'-death)";
    case ReplyFault::NoTransmitTime: return "no transmit time";
    case ReplyFault::WrongOriginate: return "not an answer to this request";
    case ReplyFault::WrongVersion: return "unsupported version";
    }
    return "unknown";
}

ReplyFault ParseReply(const uint8_t* data, size_t size, uint64_t requestTransmit, Reply* reply)
{
    if (size < kPacketSize)
        return ReplyFault::TooShort;
    if ((data[0] & 7) != 4)
        return ReplyFault::NotServer;
    if (data[1] == 0)
        return ReplyFault::KissOfDeath;
    Reply r;
    r.version = data[0] >> 3 & 7;
    r.originate = ReadTimestamp(&data[24]);
    r.receive = ReadTimestamp(&data[32]);
    r.transmit = ReadTimestamp(&data[40]);
    if (r.transmit == 0)
        return ReplyFault::NoTransmitTime;
    // Only the server that received our request knows its transmit time:
    // this keeps anyone else on the path from setting the clock.
    if (requestTransmit != 0 && r.originate != requestTransmit)
        return ReplyFault::WrongOriginate;
    if (r.version != 1 && r.version != 4)
        return ReplyFault::WrongVersion;
    *reply = r;
    return ReplyFault::None;
}

int64_t OffsetNanos(const Reply& reply, uint64_t t1, uint64_t t4)
{
    if (reply.version == 1)
        return DifferenceNanos(reply.transmit, t4);
    // The two differences in fixed point, summed without overflow.
    __int128 sum = __int128(static_cast<int64_t>(reply.receive - t1)) + static_cast<int64_t>(reply.transmit - t4);
    return UnitsToNanos(sum / 2);
}

} // namespace pendar::ntp
