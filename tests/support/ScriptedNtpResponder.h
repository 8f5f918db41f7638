// A scripted NTP server on 127.0.0.1 for SNTP client tests. Each request is
// answered with the datagrams a script returns for it; replies are encoded
// here, independently of the client's own packet code.
//
//   ScriptedNtpResponder server([](const NtpRequest& r) {
//       return Answers{ServerReply(r, {.receiveShift = 100 * kSecond, .transmitShift = 100 * kSecond})};
//   });
//   ... client asks 127.0.0.1:server.Port() ...
//
// The server runs on its own thread; every wait is bounded.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pendar::test {

constexpr int64_t kSecond = 1000000000; // nanoseconds

struct NtpRequest {
    std::vector<uint8_t> bytes;
    int fromPort = 0; // the client's UDP port

    uint64_t Transmit() const { return bytes.size() >= 48 ? ReadStamp(40) : 0; }
    uint64_t ReadStamp(size_t at) const
    {
        uint64_t v = 0;
        for (size_t i = 0; i < 8; ++i)
            v = v << 8 | bytes[at + i];
        return v;
    }
};

struct NtpDatagram {
    std::vector<uint8_t> bytes;
    bool fromOtherPort = false; // sent from a second socket, not the server's
};
using Answers = std::vector<NtpDatagram>;

// What a reply says. Its timestamps are the request's transmit time (or,
// when that is zero, the responder's own clock) moved by the shifts.
struct ReplyFields {
    int64_t receiveShift = 0;  // T2 - T1, nanoseconds
    int64_t transmitShift = 0; // T3 - T1
    int version = 4;
    int mode = 4;
    int stratum = 2;
    std::optional<uint64_t> transmit;  // T3 as given instead
    std::optional<uint64_t> originate; // instead of the request's transmit time
    size_t length = 48;
};

inline uint64_t NtpStampOfUnix(int64_t seconds, uint32_t fraction)
{
    return static_cast<uint64_t>(seconds + 2208988800LL) << 32 | fraction;
}

inline uint64_t ShiftStamp(uint64_t stamp, int64_t nanos)
{
    __int128 units = __int128(nanos) * (__int128(1) << 32) / kSecond;
    return stamp + static_cast<uint64_t>(static_cast<int64_t>(units));
}

inline NtpDatagram ServerReply(const NtpRequest& request, const ReplyFields& f)
{
    uint64_t base = request.Transmit();
    if (base == 0) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        base = NtpStampOfUnix(now.tv_sec, static_cast<uint32_t>((uint64_t(now.tv_nsec) << 32) / kSecond));
    }
    std::array<uint8_t, 48> p{};
    p[0] = static_cast<uint8_t>(f.version << 3 | f.mode);
    p[1] = static_cast<uint8_t>(f.stratum);
    auto put = [&p](size_t at, uint64_t v) {
        for (int i = 7; i >= 0; --i, v >>= 8)
            p[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v);
    };
    put(16, base); // reference
    put(24, f.originate.value_or(request.Transmit()));
    put(32, ShiftStamp(base, f.receiveShift));
    put(40, f.transmit.value_or(ShiftStamp(base, f.transmitShift)));
    NtpDatagram d;
    d.bytes.assign(p.begin(), p.begin() + static_cast<long>(std::min(f.length, p.size())));
    return d;
}

class ScriptedNtpResponder {
public:
    using Script = std::function<Answers(const NtpRequest&)>;

    // port 0: a fresh loopback port; 123 needs root.
    explicit ScriptedNtpResponder(Script script, int port = 0) : script_(std::move(script))
    {
        fd_ = BoundSocket(port, &port_);
        otherFd_ = BoundSocket(0, nullptr);
        (void)::pipe2(stopPipe_, O_CLOEXEC);
        if (fd_ >= 0)
            thread_ = std::thread([this] { Serve(); });
    }
    ~ScriptedNtpResponder()
    {
        if (thread_.joinable()) {
            char one = 1;
            [[maybe_unused]] ssize_t w = ::write(stopPipe_[1], &one, 1);
            thread_.join();
        }
        for (int fd : {fd_, otherFd_, stopPipe_[0], stopPipe_[1]})
            if (fd >= 0)
                ::close(fd);
    }
    ScriptedNtpResponder(const ScriptedNtpResponder&) = delete;
    ScriptedNtpResponder& operator=(const ScriptedNtpResponder&) = delete;

    bool Listening() const { return fd_ >= 0; }
    int Port() const { return port_; }
    std::vector<NtpRequest> Requests() const
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    static int BoundSocket(int port, int* boundPort)
    {
        int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<uint16_t>(port));
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            if (fd >= 0)
                ::close(fd);
            return -1;
        }
        socklen_t len = sizeof addr;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        if (boundPort)
            *boundPort = ntohs(addr.sin_port);
        return fd;
    }

    void Serve()
    {
        for (;;) {
            pollfd fds[2] = {{fd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
            if (::poll(fds, 2, 30000) <= 0 || (fds[1].revents & POLLIN))
                return;
            uint8_t buf[1024];
            sockaddr_in from{};
            socklen_t len = sizeof from;
            ssize_t n = ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n < 0)
                continue;
            NtpRequest request{std::vector<uint8_t>(buf, buf + n), ntohs(from.sin_port)};
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(request);
            }
            for (const NtpDatagram& d : script_(request))
                ::sendto(d.fromOtherPort ? otherFd_ : fd_, d.bytes.data(), d.bytes.size(), 0,
                         reinterpret_cast<sockaddr*>(&from), len);
        }
    }

    Script script_;
    int fd_ = -1;
    int otherFd_ = -1;
    int port_ = 0;
    int stopPipe_[2] = {-1, -1};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<NtpRequest> requests_;
};

} // namespace pendar::test
