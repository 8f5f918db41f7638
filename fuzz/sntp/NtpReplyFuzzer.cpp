// Datagrams through the NTP reply checks and the offset: the input is the
// request's transmit time (8 bytes), the arrival time (8 bytes) and then
// the datagram. Nothing may read beyond it, and an accepted reply must
// answer the request and give an offset within the 68 years the timestamps
// can tell apart.
#include "sntp/NtpPacket.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 16)
        return 0;
    uint64_t t1, t4;
    std::memcpy(&t1, data, 8);
    std::memcpy(&t4, data + 8, 8);
    pendar::ntp::Reply reply;
    auto fault = pendar::ntp::ParseReply(data + 16, size - 16, t1, &reply);
    if (fault != pendar::ntp::ReplyFault::None)
        return 0;
    if (reply.transmit == 0 || (t1 != 0 && reply.originate != t1))
        std::abort();
    int64_t offset = pendar::ntp::OffsetNanos(reply, t1, t4);
    constexpr int64_t kLimit = (int64_t(1) << 31) * 1000000000 + 1000000000;
    if (offset > kLimit || offset < -kLimit)
        std::abort();
    return 0;
}
