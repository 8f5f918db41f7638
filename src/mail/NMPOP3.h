// POP3 client: USER/PASS log-in, STAT, message summaries (TOP n 0 and
// LIST n), unique ids (UIDL n) and QUIT, in the clear or over TLS. It never
// downloads or deletes a message body. TNMAPOP (NMAPOP.h) adds the APOP
// log-in.
#pragma once

#include "mail/Powersock.h"

#include <cstdint>
#include <string>

// How a session is protected: in the clear, TLS after the server agreed to
// STLS (RFC 2595), or TLS from the first byte (POP3S, port 995).
enum class TPop3Tls { None, StartTls, Implicit };

struct TSummary {
    std::string Subject; // text after "Subject:" without the line end, undecoded
    int64_t Bytes = 0;   // size in octets from LIST
};

class TNMPOP3 : public TPowersock {
public:
    TNMPOP3();

    std::string UserID;
    std::string Password;
    TPop3Tls Tls = TPop3Tls::None;
    std::string CaFile; // CA certificates trusted besides the system's; "" for none

    int MessageCount() const { return messageCount_; }
    const TSummary& Summary() const { return summary_; }

    // Connects and logs in; MessageCount is valid afterwards.
    void Connect() override;
    // Says QUIT when connected, and closes.
    void Disconnect() override;
    // Cancels the running wait and closes the connection without QUIT.
    void Abort() override;
    // Both do nothing while another log-in or read runs (the busy flag).
    void RetrieveSummary(int n);
    std::string RetrieveUidl(int n);

    // Bounds of one TOP response.
    static constexpr int kMaxHeaderLines = 10000;
    static constexpr size_t kMaxHeaderBytes = size_t(4) << 20;

protected:
    // The reply to `command`; a connection the server closed instead of
    // answering raises ESockError "Connection closed by server".
    std::string Command(std::string_view command);
    std::string ReadReply();
    // Closes the connection without QUIT; never raises.
    void DropConnection();
    // The greeting, with TLS set up around it as Tls says: before it
    // (implicit), or after a positive one with STLS. Nothing of the
    // credentials has been sent yet. A server that refuses STLS ends the
    // session with ESockError: it never goes on in the clear.
    std::string SecureGreeting();
    static bool CredentialsUsable(const std::string& userId, const std::string& password);

    struct BusyScope {
        explicit BusyScope(bool& flag) : flag_(flag), was_(flag) { flag = true; }
        ~BusyScope() { flag_ = was_; }
        bool& flag_;
        bool was_;
    };

    bool busy_ = false;
    int messageCount_ = 0;
    TSummary summary_;

private:
    void LogIn();
    template <typename Read>
    std::string Checked(Read read);
};
