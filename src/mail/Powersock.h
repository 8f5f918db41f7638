// TCP client socket with blocking operations that keep the application
// alive: every wait (name lookup, connect, send, line read) runs the Qt
// event loop of the calling thread until the socket is ready, the time-out
// fires or Cancel is called. Failures raise exceptions with fixed texts
// (MailErrors.h) that the callers log. Whatever failed, the next Connect
// starts on a fresh socket. A connection can be turned into TLS (StartTls)
// with the same waits.
//
// Only the owning (GUI) thread uses a component. Handlers that run inside a
// wait may call Cancel or Abort, never start a second operation.
#pragma once

#include "mail/ThreadTimer.h"
#include "mail/TlsSession.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <netinet/in.h>
#include <sys/types.h>

class QSocketNotifier;

class TPowersock {
public:
    // Raises ESockError "Initializaton of windows sockets failed" when the
    // socket cannot be made or the thread has no event loop.
    TPowersock();
    virtual ~TPowersock();
    TPowersock(const TPowersock&) = delete;
    TPowersock& operator=(const TPowersock&) = delete;

    std::string Host; // name or dotted IPv4 address
    int Port = 0;
    // Milliseconds for one name lookup, connect, send or line read, or for
    // everything inside a TimeOutScope; 0 = no limit.
    int TimeOut = 0;

    bool Connected() const { return connected_; }
    const std::string& LastReply() const { return lastReply_; }

    virtual void Connect();
    virtual void Disconnect();
    // Sends the text up to its first NUL byte; more than 65,535 bytes is a
    // range error.
    void Write(std::string_view text);
    void Writeln(std::string_view text);
    // The next line with its line end (CR LF or LF); "" when the server has
    // closed the connection. Lines up to 1 MiB are put together.
    std::string ReadLn();
    virtual std::string Transaction(std::string_view command);
    void CheckConnection() const;
    // Turns the connection into TLS: right after Connect, or once the server
    // has agreed to STLS. The server's certificate must be valid for Host
    // and issued by a CA of the system's trust store or of `caFile` ("" for
    // none besides the system's). One time-out bounds the whole handshake
    // and Cancel ends it. Any failure raises ESockError with its reason and
    // drops the connection, so nothing can follow in the clear.
    void StartTls(const std::string& caFile);
    bool Secure() const { return tls_ != nullptr; }
    void Cancel() { cancelled_ = true; }
    virtual void Abort() { Cancel(); }

    static constexpr size_t kBufferSize = 65536;
    static constexpr size_t kMaxLineBytes = size_t(1) << 20;

protected:
    // Closes the socket; a fresh one is made unless the component is going.
    void CloseSocket(bool reopen);

    // One time-out for everything done while it lives (a reply of many
    // lines): the sends and reads inside do not start their own.
    class TimeOutScope {
    public:
        explicit TimeOutScope(TPowersock& sock) : sock_(sock) { sock_.ArmTimer(); }
        ~TimeOutScope() { sock_.DisarmTimer(); }
        TimeOutScope(const TimeOutScope&) = delete;
        TimeOutScope& operator=(const TimeOutScope&) = delete;

    private:
        TPowersock& sock_;
    };

private:
    enum class Readiness { Read, Write };
    // What one receive found: bytes, the server's close, no connection at
    // all, or nothing yet (after a wait or an interrupt).
    enum class Received { Data, Closed, NotConnected, Again };

    void OpenSocket();
    void ConnectTo(in_addr_t address);
    in_addr_t ResolveHost();
    in_addr_t LookUpName();
    // Runs the event loop until `fd` is ready, the wait was cancelled or
    // timed out, or the socket was closed under it. True when ready.
    bool WaitFor(int fd, Readiness readiness);
    void ArmTimer();
    void DisarmTimer();
    void TimerFired();
    // Fires the time-out when it is due although the timer could not run:
    // data that keeps coming leaves the event loop no turn.
    void CheckDeadline();
    [[noreturn]] void RaiseLineTooLong();
    // After a failed send or recv: waits when the call would block, returns
    // for a retry after an interrupt, raises the socket error otherwise.
    void AwaitOrRaise(int err, Readiness readiness);
    void RaiseIfCancelled(const char* text);
    // One receive into `buffer` (`*count` bytes on Data), in the clear or
    // through TLS; waits when nothing has come; raises on failure.
    Received Receive(char* buffer, size_t size, size_t* count);
    // One send: the bytes sent, 0 when nothing more can be sent, -1 after a
    // wait or an interrupt; raises on failure.
    ssize_t Send(const char* data, size_t size);
    // Waits as a TLS step asks; false when the step failed or the session ended.
    bool AwaitTlsStep(pendar::TlsSession::Step step);
    // Raises why the last TLS read or write failed.
    [[noreturn]] void RaiseTlsFailure();
    // Why the handshake that just ended did not succeed.
    std::string HandshakeFailure() const;
    // Drops the connection and raises `reason`.
    [[noreturn]] void FailTls(const std::string& reason);

    int fd_ = -1;
    bool socketUsed_ = false;       // a connect was tried on fd_
    std::unique_ptr<pendar::TlsSession> tls_;
    std::string peerName_;          // what the certificate must name: Host, or its dotted address
    bool peerIsAddress_ = false;
    uint64_t socketGeneration_ = 0; // changes with every close
    bool connected_ = false;
    bool cancelled_ = false;
    bool timedOut_ = false;
    int armed_ = 0; // TimeOutScopes alive; the outermost owns the timer
    std::chrono::steady_clock::time_point deadline_;
    std::string pending_; // received bytes not yet returned as lines
    size_t scanned_ = 0;  // bytes of pending_ known to hold no LF
    std::string lastReply_;
    QSocketNotifier* waitingNotifier_ = nullptr;
    TThreadTimer timer_;
};
