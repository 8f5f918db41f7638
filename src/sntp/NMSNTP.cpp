#include "sntp/NMSNTP.h"

#include "sntp/NtpPacket.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const port::IClock& SystemClockInstance()
{
    static const port::SystemClock clock;
    return clock;
}

// Closes the socket on every way out of the query.
class Socket {
public:
    Socket() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
    ~Socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int Fd() const { return fd_; }

private:
    int fd_;
};

bool ResolveIpv4(const std::string& host, int port, sockaddr_in* addr, std::string* error)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (rc != 0 || !found) {
        *error = "cannot resolve " + host + ": " + ::gai_strerror(rc);
        return false;
    }
    std::memcpy(addr, found->ai_addr, sizeof *addr);
    addr->sin_port = htons(static_cast<uint16_t>(port));
    ::freeaddrinfo(found);
    return true;
}

std::string Errno(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

TNMSNTP::TNMSNTP(const port::IClock& clock) : clock_(clock) {}

TNMSNTP::TNMSNTP() : TNMSNTP(SystemClockInstance()) {}

void TNMSNTP::SetVersion(int version)
{
    if (version == 1 || version == 4)
        version_ = version;
}

bool TNMSNTP::QueryTime(TSntpResult& result)
{
    try {
        lastError_.clear();
        return Query(result);
    } catch (...) {
        return Fail("out of memory");
    }
}

bool TNMSNTP::Fail(std::string reason)
{
    lastError_ = std::move(reason);
    return false;
}

bool TNMSNTP::Query(TSntpResult& result)
{
    if (RemoteHost.empty() || RemotePort <= 0 || RemotePort > 65535)
        return Fail("no server or port");
    if (LocalPort < 0 || LocalPort > 65535)
        return Fail("bad local port");

    Socket sock;
    if (sock.Fd() < 0)
        return Fail(Errno("socket"));
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(static_cast<uint16_t>(LocalPort));
    if (::bind(sock.Fd(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
        return Fail(Errno(("cannot bind local port " + std::to_string(LocalPort)).c_str()));

    sockaddr_in server{};
    if (!ResolveIpv4(RemoteHost, RemotePort, &server, &lastError_))
        return false;
    // Connected: the kernel drops datagrams from any other address or port.
    if (::connect(sock.Fd(), reinterpret_cast<sockaddr*>(&server), sizeof server) != 0)
        return Fail(Errno("connect"));

    uint64_t t1 = pendar::ntp::TimestampFromUnixNanos(clock_.UnixNanos());
    pendar::ntp::Packet request = pendar::ntp::BuildRequest(version_, t1);
    if (::send(sock.Fd(), request.data(), request.size(), 0) != static_cast<ssize_t>(request.size()))
        return Fail(Errno("send"));
    uint64_t echo = version_ == 4 ? t1 : 0;

    using Steady = std::chrono::steady_clock;
    const Steady::time_point deadline = Steady::now() + std::chrono::milliseconds(TimeOut > 0 ? TimeOut : 0);
    std::string rejected;
    auto timedOut = [&] {
        std::string reason = "no reply within " + std::to_string(TimeOut) + " ms";
        return Fail(rejected.empty() ? reason : reason + " (last reply rejected: " + rejected + ")");
    };
    // The deadline ends the wait even while datagrams keep coming.
    for (bool first = true;; first = false) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now()).count();
        if (left <= 0 && !first)
            return timedOut();
        pollfd pfd{sock.Fd(), POLLIN, 0};
        int ready = ::poll(&pfd, 1, left > 0 ? static_cast<int>(left) : 0);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return Fail(Errno("poll"));
        if (ready == 0)
            return timedOut();
        // A longer datagram (extension fields, a key) is cut to the packet.
        uint8_t buffer[pendar::ntp::kPacketSize];
        // Not blocking: a datagram dropped after poll (bad checksum) must not
        // stop the deadline.
        ssize_t got = ::recv(sock.Fd(), buffer, sizeof buffer, MSG_DONTWAIT);
        int64_t arrival = clock_.UnixNanos();
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return Fail(Errno("receive"));
        }
        pendar::ntp::Reply reply;
        auto fault = pendar::ntp::ParseReply(buffer, static_cast<size_t>(got), echo, &reply);
        if (fault != pendar::ntp::ReplyFault::None) {
            rejected = pendar::ntp::ReplyFaultText(fault);
            continue; // a better reply may still come before the deadline
        }
        uint64_t t4 = pendar::ntp::TimestampFromUnixNanos(arrival);
        result.offsetNanos = pendar::ntp::OffsetNanos(reply, t1, t4);
        result.unixNanos = arrival + result.offsetNanos;
        result.local = port::ToLocalTime(result.unixNanos);
        return true;
    }
}
