// The 48-byte NTP packet of one SNTP exchange: the request, the checks a
// reply must pass, and the clock offset. Timestamps are the packet's 64-bit
// fixed-point values (seconds since 1900 in the high 32 bits, modulo 2^32,
// and a binary fraction); differences between them are taken modulo 2^64,
// which picks the nearest era, so the arithmetic holds across 2036 and 2038.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pendar::ntp {

constexpr size_t kPacketSize = 48;
using Packet = std::array<uint8_t, kPacketSize>;

// Seconds from 1900-01-01 to 1970-01-01.
constexpr uint64_t kUnixEpochSeconds = 2208988800u;

uint64_t TimestampFromUnixNanos(int64_t unixNanos);
// a - b in nanoseconds; a and b must lie within 68 years of each other.
int64_t DifferenceNanos(uint64_t a, uint64_t b);

// A client request of `version` (1 or 4). A version-4 request carries
// `transmit` (T1), which the server must echo as the originate timestamp;
// a version-1 request carries no timestamp.
Packet BuildRequest(int version, uint64_t transmit);

// Why a datagram is not a usable reply.
enum class ReplyFault {
    None,
    TooShort,       // fewer than 48 bytes
    NotServer,      // mode other than 4
    KissOfDeath,    // stratum 0
    NoTransmitTime, // zero transmit timestamp
    WrongOriginate, // does not echo the request's transmit timestamp
    WrongVersion,   // a version other than 1 and 4
};
const char* ReplyFaultText(ReplyFault fault);

struct Reply {
    int version = 0;
    uint64_t originate = 0;
    uint64_t receive = 0;  // T2
    uint64_t transmit = 0; // T3
};

// Checks the datagram `data` of `size` bytes against the request that
// carried `requestTransmit` (0 for a version-1 request: nothing to echo).
ReplyFault ParseReply(const uint8_t* data, size_t size, uint64_t requestTransmit, Reply* reply);

// The local clock's offset from the server's, in nanoseconds: for a
// version-4 reply ((T2 - T1) + (T3 - T4)) / 2, for a version-1 reply, which
// only gives its transmit time, T3 - T4. t1 and t4 are the local clock when
// the request left and when the reply arrived.
int64_t OffsetNanos(const Reply& reply, uint64_t t1, uint64_t t4);

} // namespace pendar::ntp
