// A scripted POP3 server on 127.0.0.1 for client tests. A case declares what
// the server says and when it listens; afterwards the test compares the
// exact bytes the client sent (Transcript) with what it must have sent.
//
//   ScriptedPop3Server server({Say("+OK ready\r\n"), Reply("+OK\r\n"), ...});
//   ... client talks to 127.0.0.1:server.Port() ...
//   EXPECT_EQ(server.Transcript(), "USER u\r\n...");
//
// The server runs on its own thread and serves one connection. Every wait
// is bounded, so a client that misbehaves makes a test fail, not hang.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pendar::test {

// The bytes of a connection: in the clear, or through TLS once an Upgrade
// step has run (ScriptedTlsServer.h).
class ServerChannel {
public:
    virtual ~ServerChannel() = default;
    // Like recv(): the count of bytes, 0 at the end, below 0 on failure.
    virtual ssize_t Receive(char* buffer, size_t size) = 0;
    // Like send(); never raises SIGPIPE.
    virtual ssize_t Send(const char* data, size_t size) = 0;
    // Received bytes the channel holds already, so no wait is needed.
    virtual bool Holds() const { return false; }
};

// Sees every byte that arrives on the wire.
using WireTap = std::function<void(const char*, size_t)>;
// Makes the channel of an Upgrade step over the connection `fd`; nullptr
// when the handshake failed (the server then closes the connection).
using ChannelMaker = std::function<std::unique_ptr<ServerChannel>(int fd, const WireTap& tap)>;

struct ServerStep {
    enum class Kind {
        Say,         // send the text in one segment
        SayBytewise, // send the text one byte per segment
        Hear,        // read one line (up to LF) from the client
        HearAny,     // read whatever the client sends next (a TLS hello, say)
        Close,       // close the connection
        Reset,       // close the connection with a reset (RST)
        Hang,        // say nothing more; keep the connection open
        Drip,        // send the text again and again, `pauseMs` apart, until the client goes
        Upgrade,     // from here on talk through the channel `upgrade` makes
    };
    Kind kind;
    std::string text;
    int pauseMs = 0;
    ChannelMaker upgrade = {};
};

inline ServerStep Say(std::string text) { return {ServerStep::Kind::Say, std::move(text)}; }
inline ServerStep SayBytewise(std::string text) { return {ServerStep::Kind::SayBytewise, std::move(text)}; }
inline ServerStep Hear() { return {ServerStep::Kind::Hear, {}}; }
inline ServerStep HearAny() { return {ServerStep::Kind::HearAny, {}}; }
inline ServerStep Close() { return {ServerStep::Kind::Close, {}}; }
inline ServerStep Reset() { return {ServerStep::Kind::Reset, {}}; }
inline ServerStep Hang() { return {ServerStep::Kind::Hang, {}}; }
inline ServerStep Drip(std::string text, int pauseMs) { return {ServerStep::Kind::Drip, std::move(text), pauseMs}; }
inline ServerStep Upgrade(ChannelMaker maker) { return {ServerStep::Kind::Upgrade, {}, 0, std::move(maker)}; }

// The answer to the client's next command line.
inline std::vector<ServerStep> Reply(std::string text) { return {Hear(), Say(std::move(text))}; }

// Builds a script from steps and Reply() pairs.
inline std::vector<ServerStep> Script(std::initializer_list<std::vector<ServerStep>> parts)
{
    std::vector<ServerStep> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

namespace detail {

inline sockaddr_in LoopbackAddress(int port)
{
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    return addr;
}

// A socket bound to a fresh loopback port, listening when backlog >= 0.
inline int ListenOnLoopback(int backlog, int* port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr = LoopbackAddress(0);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    if (backlog >= 0)
        ::listen(fd, backlog);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    *port = ntohs(addr.sin_port);
    return fd;
}

class PlainChannel final : public ServerChannel {
public:
    PlainChannel(int fd, WireTap tap) : fd_(fd), tap_(std::move(tap)) {}
    ssize_t Receive(char* buffer, size_t size) override
    {
        ssize_t n = ::recv(fd_, buffer, size, 0);
        if (n > 0)
            tap_(buffer, static_cast<size_t>(n));
        return n;
    }
    ssize_t Send(const char* data, size_t size) override { return ::send(fd_, data, size, MSG_NOSIGNAL); }

private:
    int fd_;
    WireTap tap_;
};

} // namespace detail

class ScriptedPop3Server {
public:
    explicit ScriptedPop3Server(std::vector<ServerStep> script) : script_(std::move(script))
    {
        listenFd_ = detail::ListenOnLoopback(4, &port_);
        (void)::pipe2(stopPipe_, O_CLOEXEC);
        thread_ = std::thread([this] { Serve(); });
    }
    ~ScriptedPop3Server()
    {
        Stop();
        ::close(listenFd_);
        ::close(stopPipe_[0]);
        ::close(stopPipe_[1]);
    }
    ScriptedPop3Server(const ScriptedPop3Server&) = delete;
    ScriptedPop3Server& operator=(const ScriptedPop3Server&) = delete;

    int Port() const { return port_; }

    // Everything the client sent, as the server's side of the protocol read
    // it (after an Upgrade: what came through TLS). Call it when the client
    // is done: it waits until the client has closed the connection (at most
    // `wait`), and not at all when the client never connected.
    std::string Transcript(std::chrono::milliseconds wait = std::chrono::seconds(5))
    {
        Finish(wait);
        std::lock_guard lock(mutex_);
        return received_;
    }

    // Every byte the client sent, as it went over the wire.
    std::string Wire(std::chrono::milliseconds wait = std::chrono::seconds(5))
    {
        Finish(wait);
        std::lock_guard lock(mutex_);
        return wire_;
    }

    // True once the client has connected.
    bool Accepted() const { return accepted_; }

private:
    void Finish(std::chrono::milliseconds wait)
    {
        if (accepted_) {
            std::unique_lock lock(mutex_);
            finishedCv_.wait_for(lock, wait, [this] { return finished_; });
        }
        Stop();
    }

    void Stop()
    {
        if (!thread_.joinable())
            return;
        char one = 1;
        [[maybe_unused]] ssize_t w = ::write(stopPipe_[1], &one, 1);
        thread_.join();
    }

    // Waits until `fd` is ready for `events` or the test stops the server.
    bool WaitFor(int fd, short events)
    {
        pollfd fds[2] = {{fd, events, 0}, {stopPipe_[0], POLLIN, 0}};
        for (;;) {
            int r = ::poll(fds, 2, 10000);
            if (r <= 0 || (fds[1].revents & POLLIN))
                return false;
            if (fds[0].revents)
                return true;
        }
    }

    // Reads what the client sends into the transcript; false at its end.
    bool ReadSome(int fd)
    {
        if (!channel_->Holds() && !WaitFor(fd, POLLIN))
            return false;
        char buf[4096];
        ssize_t n = channel_->Receive(buf, sizeof buf);
        if (n <= 0)
            return false;
        std::lock_guard lock(mutex_);
        received_.append(buf, static_cast<size_t>(n));
        return true;
    }

    bool HearLine(int fd)
    {
        for (;;) {
            {
                std::lock_guard lock(mutex_);
                if (received_.find('\n', heard_) != std::string::npos) {
                    heard_ = received_.find('\n', heard_) + 1;
                    return true;
                }
            }
            if (!ReadSome(fd))
                return false;
        }
    }

    // False when the client is gone.
    bool SendAll(const std::string& text)
    {
        size_t sent = 0;
        while (sent < text.size()) {
            ssize_t n = channel_->Send(text.data() + sent, text.size() - sent);
            if (n <= 0)
                return false;
            sent += static_cast<size_t>(n);
        }
        return true;
    }

    // Sleeps `ms` unless the test stops the server first; false then.
    bool Pause(int ms)
    {
        pollfd stop = {stopPipe_[0], POLLIN, 0};
        return ::poll(&stop, 1, ms) == 0;
    }

    bool RunStep(int fd, const ServerStep& step)
    {
        switch (step.kind) {
        case ServerStep::Kind::Say:
            SendAll(step.text);
            return true;
        case ServerStep::Kind::SayBytewise:
            for (char c : step.text) {
                SendAll(std::string(1, c));
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            return true;
        case ServerStep::Kind::Hear:
            return HearLine(fd);
        case ServerStep::Kind::HearAny: {
            if (!ReadSome(fd))
                return false;
            std::lock_guard lock(mutex_);
            heard_ = received_.size();
            return true;
        }
        case ServerStep::Kind::Close:
            return false;
        case ServerStep::Kind::Reset: {
            linger reset{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            return false;
        }
        case ServerStep::Kind::Drip: {
            // Bounded, so a client that never gives up still lets the test end.
            for (int i = 0; i < 1000000; ++i) {
                pollfd gone = {fd, POLLRDHUP, 0};
                if (::poll(&gone, 1, 0) > 0 || !SendAll(step.text) || !Pause(step.pauseMs))
                    break;
            }
            return false;
        }
        case ServerStep::Kind::Hang:
            while (ReadSome(fd)) {
            }
            return false;
        case ServerStep::Kind::Upgrade: {
            auto channel = step.upgrade(fd, [this](const char* bytes, size_t n) { Tap(bytes, n); });
            if (!channel)
                return false;
            channel_ = std::move(channel);
            return true;
        }
        }
        return false;
    }

    void Tap(const char* bytes, size_t n)
    {
        std::lock_guard lock(mutex_);
        wire_.append(bytes, n);
    }

    void Serve()
    {
        // A TLS channel writes with plain write(): a client that has gone
        // must not end the test program with SIGPIPE (held for this thread).
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        int fd = -1;
        if (WaitFor(listenFd_, POLLIN))
            fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            accepted_ = true;
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            channel_ =
                std::make_unique<detail::PlainChannel>(fd, [this](const char* bytes, size_t n) { Tap(bytes, n); });
            bool open = true;
            for (const auto& step : script_)
                if (open)
                    open = RunStep(fd, step);
            if (open) // record whatever else the client sends until it closes
                while (ReadSome(fd)) {
                }
            channel_.reset();
            ::close(fd);
        }
        std::lock_guard lock(mutex_);
        finished_ = true;
        finishedCv_.notify_all();
    }

    std::vector<ServerStep> script_;
    int listenFd_ = -1;
    int port_ = 0;
    int stopPipe_[2] = {-1, -1};
    std::thread thread_;
    std::atomic<bool> accepted_{false};
    std::mutex mutex_;
    std::condition_variable finishedCv_;
    bool finished_ = false;
    std::string received_;
    std::string wire_;
    size_t heard_ = 0;
    std::unique_ptr<ServerChannel> channel_; // the server thread's only
};

// A loopback port that refuses connections: bound, never listening.
class RefusingPort {
public:
    RefusingPort() { fd_ = detail::ListenOnLoopback(-1, &port_); }
    ~RefusingPort() { ::close(fd_); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// A loopback port whose accept queue is full, so that a new connection
// never completes: the listener accepts nothing and two fillers occupy the
// queue.
class SilentListener {
public:
    SilentListener()
    {
        fd_ = detail::ListenOnLoopback(0, &port_);
        sockaddr_in addr = detail::LoopbackAddress(port_);
        for (int& filler : fillers_) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~SilentListener()
    {
        for (int filler : fillers_)
            ::close(filler);
        ::close(fd_);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
    int fillers_[2] = {-1, -1};
};

// Loopback ports on which a connection fails, refused or timing out, with
// the error text the clock logs for each.
struct FailingPorts {
    struct Failure {
        int port;
        std::string error;
    };
    std::vector<Failure> All() const
    {
        return {{refusing.Port(), "Connection Failed"}, {silent.Port(), "Connection Timed out"}};
    }

    RefusingPort refusing;
    SilentListener silent;
};

} // namespace pendar::test
