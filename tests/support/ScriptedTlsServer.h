// TLS for the scripted POP3 server: TlsUpgrade(certificate, key) is an
// Upgrade step that runs the server's side of a real handshake (OpenSSL)
// with the given certificate, for implicit TLS as the first step or after
// the answer to STLS. Tests that use it link OpenSSL::SSL.
//
//   ScriptedPop3Server server({Upgrade(TlsUpgrade(certs.Certificate("good"), certs.Key())), Say("+OK\r\n"), ...});
#pragma once

#include "support/ScriptedPop3Server.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <sys/time.h>

namespace pendar::test {

class TlsServerChannel final : public ServerChannel {
public:
    explicit TlsServerChannel(WireTap tap) : tap_(std::move(tap)) {}
    ~TlsServerChannel() override
    {
        SSL_free(ssl_);
        SSL_CTX_free(ctx_);
    }
    TlsServerChannel(const TlsServerChannel&) = delete;
    TlsServerChannel& operator=(const TlsServerChannel&) = delete;

    // The handshake on `fd` with the certificate (and chain) and key files.
    bool Accept(int fd, const std::string& certificate, const std::string& key)
    {
        ctx_ = SSL_CTX_new(TLS_server_method());
        if (!ctx_ || SSL_CTX_use_certificate_chain_file(ctx_, certificate.c_str()) != 1 ||
            SSL_CTX_use_PrivateKey_file(ctx_, key.c_str(), SSL_FILETYPE_PEM) != 1)
            return false;
        ssl_ = SSL_new(ctx_);
        BIO* bio = BIO_new_socket(fd, BIO_NOCLOSE);
        if (!ssl_ || !bio) {
            BIO_free(bio);
            return false;
        }
        BIO_set_callback_ex(bio, TapWire);
        BIO_set_callback_arg(bio, reinterpret_cast<char*>(&tap_));
        SSL_set_bio(ssl_, bio, bio);
        // The socket blocks: a client that stops talking must not hold the
        // server for ever.
        timeval limit{10, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        bool accepted = SSL_accept(ssl_) == 1;
        ERR_clear_error();
        return accepted;
    }

    ssize_t Receive(char* buffer, size_t size) override
    {
        size_t count = 0;
        bool ok = SSL_read_ex(ssl_, buffer, size, &count) == 1;
        ERR_clear_error();
        return ok ? static_cast<ssize_t>(count) : 0;
    }
    ssize_t Send(const char* data, size_t size) override
    {
        size_t count = 0;
        bool ok = SSL_write_ex(ssl_, data, size, &count) == 1;
        ERR_clear_error();
        return ok ? static_cast<ssize_t>(count) : -1;
    }
    bool Holds() const override { return SSL_pending(ssl_) > 0; }

private:
    static long TapWire(BIO* bio, int operation, const char* bytes, size_t, int, long, int result,
                        size_t* processed)
    {
        if (operation == (BIO_CB_READ | BIO_CB_RETURN) && result > 0 && processed && *processed > 0)
            (*reinterpret_cast<const WireTap*>(BIO_get_callback_arg(bio)))(bytes, *processed);
        return result;
    }

    WireTap tap_;
    SSL_CTX* ctx_ = nullptr;
    SSL* ssl_ = nullptr;
};

inline ChannelMaker TlsUpgrade(std::string certificate, std::string key)
{
    return [certificate, key](int fd, const WireTap& tap) -> std::unique_ptr<ServerChannel> {
        auto channel = std::make_unique<TlsServerChannel>(tap);
        if (!channel->Accept(fd, certificate, key))
            return nullptr;
        return channel;
    };
}

} // namespace pendar::test
