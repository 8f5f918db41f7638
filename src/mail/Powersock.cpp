#include "mail/Powersock.h"

#include "mail/HostLookup.h"
#include "mail/MailErrors.h"
#include "mail/SocketErrorText.h"
#include "mail/TlsSession.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

using pendar::RaiseSocketError;

namespace {

constexpr const char* kInitFailed = "Initializaton of windows sockets failed";

} // namespace

TPowersock::TPowersock()
{
    if (!QAbstractEventDispatcher::instance())
        throw ESockError(kInitFailed);
    OpenSocket();
    timer_.SetEnabled(false); // armed only during a wait
    timer_.SetOnTimer([this] { TimerFired(); });
}

TPowersock::~TPowersock()
{
    Cancel();
    try {
        CloseSocket(false);
    } catch (...) {
        // nothing can be done about a failing close while going
    }
}

void TPowersock::OpenSocket()
{
    socketUsed_ = false;
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd_ < 0)
        throw ESockError(kInitFailed);
    // Close at once, without lingering in the closing states.
    linger noLinger{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
}

void TPowersock::CloseSocket(bool reopen)
{
    connected_ = false;
    tls_.reset();
    pending_.clear();
    scanned_ = 0;
    ++socketGeneration_;
    if (waitingNotifier_) {
        // A wait is running on this socket: stop watching before the
        // descriptor goes (its number may come back at once).
        waitingNotifier_->setEnabled(false);
        waitingNotifier_ = nullptr;
    }
    int fd = fd_;
    fd_ = -1;
    int closeError = 0;
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR)
        closeError = errno;
    if (reopen)
        OpenSocket();
    RaiseSocketError(closeError);
}

void TPowersock::ArmTimer()
{
    if (armed_++ > 0)
        return; // an outer scope's time-out runs
    timedOut_ = false;
    if (TimeOut > 0) {
        deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeOut);
        timer_.SetInterval(TimeOut);
        timer_.SetEnabled(true);
    }
}

void TPowersock::DisarmTimer()
{
    if (--armed_ > 0)
        return;
    timer_.SetEnabled(false);
}

void TPowersock::TimerFired()
{
    timer_.SetEnabled(false);
    timedOut_ = true;
    try {
        Abort();
    } catch (...) {
        // the running wait reports the time-out
    }
}

void TPowersock::CheckDeadline()
{
    if (armed_ > 0 && TimeOut > 0 && !timedOut_ && std::chrono::steady_clock::now() >= deadline_)
        TimerFired();
}

bool TPowersock::WaitFor(int fd, Readiness readiness)
{
    QSocketNotifier notifier(fd, readiness == Readiness::Read ? QSocketNotifier::Read : QSocketNotifier::Write);
    bool ready = false;
    QObject::connect(&notifier, &QSocketNotifier::activated, [&ready, &notifier] {
        ready = true;
        notifier.setEnabled(false);
    });
    // Only waits on the component's own socket are stopped by a close.
    bool own = fd == fd_;
    uint64_t generation = socketGeneration_;
    QSocketNotifier* outer = waitingNotifier_;
    if (own)
        waitingNotifier_ = &notifier;
    QEventLoop loop;
    while (!ready && !cancelled_ && !(own && generation != socketGeneration_))
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    if (own && generation == socketGeneration_)
        waitingNotifier_ = outer;
    return ready && !cancelled_;
}

in_addr_t TPowersock::LookUpName()
{
    pendar::HostLookup lookup(Host);
    if (!lookup.Started())
        throw ESockError("Host Lookup Failed");
    TimeOutScope scope(*this);
    while (!lookup.Done() && !timedOut_ && !cancelled_)
        WaitFor(lookup.ReadyFd(), Readiness::Read);
    if (timedOut_)
        throw ESockError("Host Lookup Timed Out");
    if (cancelled_)
        throw ESockError("Host Lookup Canceled");
    auto address = lookup.Address();
    if (!address)
        throw ESockError("Host Lookup Failed");
    return *address;
}

in_addr_t TPowersock::ResolveHost()
{
    in_addr_t dotted = ::inet_addr(Host.c_str());
    peerIsAddress_ = dotted != INADDR_NONE;
    if (peerIsAddress_) {
        // inet_addr also takes "127.1" and the like: the certificate is
        // checked against the address in its usual form.
        char text[INET_ADDRSTRLEN] = {};
        in_addr address{dotted};
        ::inet_ntop(AF_INET, &address, text, sizeof text);
        peerName_ = text;
        return dotted;
    }
    peerName_ = Host;
    try {
        return LookUpName();
    } catch (const ESockError& e) {
        std::string_view text = e.what();
        if (text == "Host Lookup Timed Out" || text == "Host Lookup Canceled")
            throw;
    }
    throw ESockError("Null Remote Address");
}

void TPowersock::Connect()
{
    cancelled_ = false;
    if (connected_)
        throw ESockError("Already connected");
    if (fd_ < 0 || socketUsed_)
        CloseSocket(true); // never reuse a socket an earlier attempt has touched
    in_addr_t address = ResolveHost();
    try {
        ConnectTo(address);
    } catch (...) {
        // A failed attempt leaves the socket half-open or holding its error,
        // and the next connect on it would fail: the next one starts afresh.
        try {
            CloseSocket(true);
        } catch (const ESockError&) {
            // the attempt's own failure is what the caller needs to see
        }
        throw;
    }
}

void TPowersock::ConnectTo(in_addr_t address)
{
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<uint16_t>(Port));
    remote.sin_addr.s_addr = address;
    int fd = fd_;
    socketUsed_ = true;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0) {
        connected_ = true;
        return;
    }
    if (errno == ECONNREFUSED)
        throw ESockError("Connection Failed");
    RaiseSocketError(errno); // the would-block case passes: the wait follows

    bool failed = false;
    {
        TimeOutScope scope(*this);
        while (!connected_ && !failed && !timedOut_ && !cancelled_ && fd == fd_) {
            if (!WaitFor(fd, Readiness::Write))
                continue;
            int error = 0;
            socklen_t length = sizeof error;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
            if (error == 0)
                connected_ = true;
            else if (pendar::SocketErrorCode(error) != pendar::kWouldBlock)
                failed = true;
        }
    }
    if (connected_ && !timedOut_ && !cancelled_)
        return;
    connected_ = false;
    if (timedOut_)
        throw ESockError("Connection Timed out");
    if (cancelled_)
        throw ESockError("Connection Canceled");
    throw ESockError("Connection Failed");
}

void TPowersock::Disconnect()
{
    if (tls_ && connected_)
        tls_->Close();
    CloseSocket(true);
}

void TPowersock::StartTls(const std::string& caFile)
{
    CheckConnection();
    if (tls_)
        throw ESockError("TLS already started");
    // Bytes that came in the clear after the server's last line would pass
    // for protected ones once the session is up: refuse them.
    if (!pending_.empty())
        FailTls("TLS handshake failed: the server sent data before the handshake");
    std::string error;
    tls_ = pendar::TlsSession::Make(fd_, {peerName_, peerIsAddress_}, caFile, &error);
    if (!tls_)
        FailTls(error);
    bool done = false;
    {
        TimeOutScope scope(*this);
        for (;;) {
            CheckDeadline();
            if (cancelled_ || !tls_)
                break;
            auto step = tls_->Handshake();
            if (step == pendar::TlsSession::Step::Done) {
                done = true;
                break;
            }
            if (!AwaitTlsStep(step))
                break;
        }
    }
    if (done && !cancelled_)
        return;
    std::string reason = HandshakeFailure();
    cancelled_ = false; // used up by this failure
    FailTls(reason);
}

std::string TPowersock::HandshakeFailure() const
{
    if (timedOut_)
        return "TLS handshake timed out";
    if (cancelled_)
        return "TLS handshake canceled";
    if (!tls_)
        return "TLS handshake failed";
    if (int err = tls_->SystemError())
        return "TLS handshake failed: " + pendar::SocketErrorText(err);
    return tls_->FailureText();
}

bool TPowersock::AwaitTlsStep(pendar::TlsSession::Step step)
{
    switch (step) {
    case pendar::TlsSession::Step::WantRead:
        WaitFor(fd_, Readiness::Read);
        return true;
    case pendar::TlsSession::Step::WantWrite:
        WaitFor(fd_, Readiness::Write);
        return true;
    default:
        return false;
    }
}

void TPowersock::FailTls(const std::string& reason)
{
    try {
        CloseSocket(true);
    } catch (const ESockError&) {
        // the TLS failure is what the caller needs to see
    }
    throw ESockError(reason);
}

void TPowersock::RaiseTlsFailure()
{
    std::string failure = tls_->FailureText();
    if (int err = tls_->SystemError())
        RaiseSocketError(err);
    throw ESockError(failure);
}

TPowersock::Received TPowersock::Receive(char* buffer, size_t size, size_t* count)
{
    if (tls_) {
        auto step = tls_->Read(buffer, size, count);
        if (step == pendar::TlsSession::Step::Done)
            return Received::Data;
        if (step == pendar::TlsSession::Step::Closed)
            return Received::Closed;
        if (!AwaitTlsStep(step))
            RaiseTlsFailure();
        return Received::Again;
    }
    ssize_t n = ::recv(fd_, buffer, size, 0);
    if (n > 0) {
        *count = static_cast<size_t>(n);
        return Received::Data;
    }
    if (n == 0)
        return Received::Closed;
    int err = errno;
    if (pendar::SocketErrorCode(err) == pendar::kNotConnected)
        return Received::NotConnected;
    AwaitOrRaise(err, Readiness::Read);
    return Received::Again;
}

ssize_t TPowersock::Send(const char* data, size_t size)
{
    if (tls_) {
        size_t count = 0;
        auto step = tls_->Write(data, size, &count);
        if (step == pendar::TlsSession::Step::Done)
            return static_cast<ssize_t>(count);
        if (step == pendar::TlsSession::Step::Closed)
            return 0;
        if (!AwaitTlsStep(step))
            RaiseTlsFailure();
        return -1;
    }
    ssize_t n = ::send(fd_, data, size, MSG_NOSIGNAL);
    if (n >= 0)
        return n;
    AwaitOrRaise(errno, Readiness::Write);
    return -1;
}

void TPowersock::Write(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    if (text.size() > kBufferSize - 1)
        throw ERangeError("Range check error");
    {
        TimeOutScope scope(*this);
        size_t sent = 0;
        while (sent < text.size()) {
            CheckDeadline();
            if (cancelled_)
                break;
            ssize_t n = Send(text.data() + sent, text.size() - sent);
            if (n > 0)
                sent += static_cast<size_t>(n);
            else if (n == 0)
                break;
        }
    }
    RaiseIfCancelled("Socket send aborted");
}

void TPowersock::Writeln(std::string_view text)
{
    std::string line(text.substr(0, text.find('\0')));
    line += "\r\n";
    Write(line);
}

std::string TPowersock::ReadLn()
{
    TimeOutScope scope(*this);
    char buffer[kBufferSize];
    for (;;) {
        CheckDeadline();
        if (cancelled_)
            break;
        size_t lf = pending_.find('\n', scanned_);
        if (lf != std::string::npos) {
            if (lf + 1 > kMaxLineBytes)
                RaiseLineTooLong();
            std::string line = pending_.substr(0, lf + 1);
            pending_.erase(0, lf + 1);
            scanned_ = 0;
            return line;
        }
        scanned_ = pending_.size();
        if (pending_.size() > kMaxLineBytes)
            RaiseLineTooLong();
        size_t count = 0;
        Received received = Receive(buffer, sizeof buffer, &count);
        if (received == Received::Data)
            pending_.append(buffer, count);
        else if (received == Received::Closed)
            return {}; // the server closed the connection
        else if (received == Received::NotConnected)
            break;
    }
    RaiseIfCancelled("Socket readln aborted");
    return {};
}

void TPowersock::AwaitOrRaise(int err, Readiness readiness)
{
    if (err == EINTR)
        return; // the caller retries at once
    if (pendar::SocketErrorCode(err) == pendar::kWouldBlock) {
        WaitFor(fd_, readiness);
        return;
    }
    RaiseSocketError(err);
}

void TPowersock::RaiseIfCancelled(const char* text)
{
    if (cancelled_) {
        cancelled_ = false; // used up by this failure
        throw EAbortError(text);
    }
}

void TPowersock::RaiseLineTooLong()
{
    pending_.clear();
    scanned_ = 0;
    throw ESockError("Line too long");
}

std::string TPowersock::Transaction(std::string_view command)
{
    Writeln(command);
    lastReply_ = ReadLn();
    return lastReply_;
}

void TPowersock::CheckConnection() const
{
    if (!connected_)
        throw EMailError("Not Connected");
}
