// A TLS client session (OpenSSL) over a connected non-blocking socket. The
// server's certificate is always verified, against the system's trust store
// and an optional extra CA file, and for the host the user named: a host
// name is sent as SNI and checked against the certificate's names, an IPv4
// address against its address entries. There is no way to accept a
// certificate that fails.
//
// The session never waits: each step says what the socket must become
// ready for before the step is tried again (TPowersock waits with the event
// loop running). Writes never raise SIGPIPE.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace pendar {

class TlsSession {
public:
    enum class Step {
        Done,      // the step is complete
        WantRead,  // try again once the socket is readable
        WantWrite, // try again once the socket is writable
        Closed,    // the server ended the session
        Failed,    // FailureText() and SystemError() say why
    };

    struct Peer {
        std::string name;    // host name, or the dotted address
        bool address = false; // `name` is an IPv4 address
    };

    // A session on `fd` for `peer`; nullptr with `error` set when the trust
    // store or `caFile` ("" for none) cannot be loaded.
    static std::unique_ptr<TlsSession> Make(int fd, const Peer& peer, const std::string& caFile,
                                            std::string* error);
    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    Step Handshake();
    // Done with `*count` bytes (at least one) read into `buffer`.
    Step Read(char* buffer, size_t size, size_t* count);
    // Done with `*count` bytes (at least one) of `data` sent.
    Step Write(const char* data, size_t size, size_t* count);
    // Tells the server that the session ends, without waiting for it.
    void Close();

    // Why the last step failed, for the log ("TLS certificate has expired").
    const std::string& FailureText() const { return failure_; }
    // The errno of a failed socket call under the last step; 0 for none.
    int SystemError() const { return systemError_; }

    struct Handles; // OpenSSL's objects, known only to the implementation

private:
    explicit TlsSession(std::unique_ptr<Handles> handles);
    // Sorts the result of an SSL call that did not succeed.
    Step Sort(int result, bool handshake);

    std::unique_ptr<Handles> h_;
    std::string failure_;
    int systemError_ = 0;
};

} // namespace pendar
