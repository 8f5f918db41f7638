#include "mail/TlsSession.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cerrno>

#include <sys/socket.h>

namespace pendar {

struct TlsSession::Handles {
    int fd = -1;
    int lastErrno = 0; // of the socket call under the last step
    SSL_CTX* ctx = nullptr;
    SSL* ssl = nullptr; // owns the BIO

    ~Handles()
    {
        SSL_free(ssl);
        SSL_CTX_free(ctx);
    }
};

namespace {

using Handles = TlsSession::Handles;

constexpr const char* kClosedMidHandshake = "TLS handshake failed: connection closed by the server";

// The session's own socket BIO: send() with MSG_NOSIGNAL, so that a server
// that resets the connection cannot end the program with SIGPIPE, and the
// errno of each call kept for the step that made it.
Handles& HandlesOf(BIO* bio)
{
    return *static_cast<Handles*>(BIO_get_data(bio));
}

int Settle(BIO* bio, ssize_t n, bool reading)
{
    Handles& h = HandlesOf(bio);
    h.lastErrno = n < 0 ? errno : 0;
    BIO_clear_retry_flags(bio);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        h.lastErrno = 0;
        if (reading)
            BIO_set_retry_read(bio);
        else
            BIO_set_retry_write(bio);
    }
    return static_cast<int>(n);
}

int BioWrite(BIO* bio, const char* data, int size)
{
    return Settle(bio, ::send(HandlesOf(bio).fd, data, static_cast<size_t>(size), MSG_NOSIGNAL), false);
}

int BioRead(BIO* bio, char* buffer, int size)
{
    return Settle(bio, ::recv(HandlesOf(bio).fd, buffer, static_cast<size_t>(size), 0), true);
}

long BioControl(BIO*, int command, long, void*)
{
    return command == BIO_CTRL_FLUSH ? 1 : 0; // every write goes out at once
}

int BioCreate(BIO* bio)
{
    BIO_set_init(bio, 1);
    return 1;
}

const BIO_METHOD* SocketMethod()
{
    static BIO_METHOD* const method = [] {
        BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "pendar socket");
        if (m && (BIO_meth_set_write(m, BioWrite) != 1 || BIO_meth_set_read(m, BioRead) != 1 ||
                  BIO_meth_set_ctrl(m, BioControl) != 1 || BIO_meth_set_create(m, BioCreate) != 1)) {
            BIO_meth_free(m);
            m = nullptr;
        }
        return m;
    }();
    return method;
}

// What a failed certificate check tells the user.
std::string VerifyText(long result)
{
    static const struct {
        long code;
        const char* text;
    } kTexts[] = {
        {X509_V_ERR_CERT_HAS_EXPIRED, "TLS certificate has expired"},
        {X509_V_ERR_CERT_NOT_YET_VALID, "TLS certificate is not valid yet"},
        {X509_V_ERR_HOSTNAME_MISMATCH, "TLS certificate is for another host"},
        {X509_V_ERR_IP_ADDRESS_MISMATCH, "TLS certificate is for another host"},
        {X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT, "TLS certificate from an untrusted issuer"},
        {X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN, "TLS certificate from an untrusted issuer"},
        {X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT, "TLS certificate from an untrusted issuer"},
        {X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY, "TLS certificate from an untrusted issuer"},
        {X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE, "TLS certificate from an untrusted issuer"},
    };
    for (const auto& t : kTexts)
        if (t.code == result)
            return t.text;
    return std::string("TLS certificate refused: ") + X509_verify_cert_error_string(result);
}

} // namespace

TlsSession::TlsSession(std::unique_ptr<Handles> handles) : h_(std::move(handles)) {}

TlsSession::~TlsSession() = default;

std::unique_ptr<TlsSession> TlsSession::Make(int fd, const Peer& peer, const std::string& caFile, std::string* error)
{
    ERR_clear_error();
    auto h = std::make_unique<Handles>();
    h->fd = fd;
    h->ctx = SSL_CTX_new(TLS_client_method());
    BIO* bio = SocketMethod() ? BIO_new(SocketMethod()) : nullptr;
    if (!h->ctx || !bio || SSL_CTX_set_min_proto_version(h->ctx, TLS1_2_VERSION) != 1 ||
        SSL_CTX_set_default_verify_paths(h->ctx) != 1) {
        BIO_free(bio);
        *error = "TLS cannot be set up";
        return nullptr;
    }
    SSL_CTX_set_verify(h->ctx, SSL_VERIFY_PEER, nullptr);
    // A server that closes without saying so ends the session as in the
    // clear; a reply cut short still lacks its end and fails.
    SSL_CTX_set_options(h->ctx, SSL_OP_IGNORE_UNEXPECTED_EOF);
    if (!caFile.empty() && SSL_CTX_load_verify_locations(h->ctx, caFile.c_str(), nullptr) != 1) {
        BIO_free(bio);
        *error = "TLS CA file cannot be read";
        return nullptr;
    }
    h->ssl = SSL_new(h->ctx);
    if (!h->ssl) {
        BIO_free(bio);
        *error = "TLS cannot be set up";
        return nullptr;
    }
    BIO_set_data(bio, h.get());
    SSL_set_bio(h->ssl, bio, bio);
    SSL_set_mode(h->ssl, SSL_MODE_ENABLE_PARTIAL_WRITE);
    bool named = peer.address
                     ? X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(h->ssl), peer.name.c_str()) == 1
                     : SSL_set_tlsext_host_name(h->ssl, peer.name.c_str()) == 1 &&
                           SSL_set1_host(h->ssl, peer.name.c_str()) == 1;
    if (!named) {
        *error = "TLS cannot check the host name";
        return nullptr;
    }
    return std::unique_ptr<TlsSession>(new TlsSession(std::move(h)));
}

TlsSession::Step TlsSession::Handshake()
{
    ERR_clear_error();
    int result = SSL_connect(h_->ssl);
    return result == 1 ? Step::Done : Sort(result, true);
}

TlsSession::Step TlsSession::Read(char* buffer, size_t size, size_t* count)
{
    ERR_clear_error();
    int result = SSL_read_ex(h_->ssl, buffer, size, count);
    return result == 1 ? Step::Done : Sort(result, false);
}

TlsSession::Step TlsSession::Write(const char* data, size_t size, size_t* count)
{
    ERR_clear_error();
    int result = SSL_write_ex(h_->ssl, data, size, count);
    return result == 1 ? Step::Done : Sort(result, false);
}

void TlsSession::Close()
{
    ERR_clear_error();
    SSL_shutdown(h_->ssl);
    ERR_clear_error();
}

TlsSession::Step TlsSession::Sort(int result, bool handshake)
{
    failure_.clear();
    systemError_ = 0;
    switch (SSL_get_error(h_->ssl, result)) {
    case SSL_ERROR_WANT_READ:
        return Step::WantRead;
    case SSL_ERROR_WANT_WRITE:
        return Step::WantWrite;
    case SSL_ERROR_ZERO_RETURN:
        break; // the server's close
    case SSL_ERROR_SYSCALL:
        systemError_ = h_->lastErrno;
        if (systemError_ != 0) {
            failure_ = handshake ? "TLS handshake failed" : "TLS connection failed";
            return Step::Failed;
        }
        break; // the connection ended without a word
    default: {
        unsigned long e = ERR_peek_last_error();
        if (ERR_GET_LIB(e) == ERR_LIB_SSL && ERR_GET_REASON(e) == SSL_R_CERTIFICATE_VERIFY_FAILED) {
            failure_ = VerifyText(SSL_get_verify_result(h_->ssl));
        } else if (ERR_GET_LIB(e) == ERR_LIB_SSL && ERR_GET_REASON(e) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
            break;
        } else {
            const char* reason = e ? ERR_reason_error_string(e) : nullptr;
            failure_ = std::string(handshake ? "TLS handshake failed: " : "TLS error: ") +
                       (reason ? reason : "protocol error");
        }
        return Step::Failed;
    }
    }
    if (!handshake)
        return Step::Closed;
    failure_ = kClosedMidHandshake;
    return Step::Failed;
}

} // namespace pendar
