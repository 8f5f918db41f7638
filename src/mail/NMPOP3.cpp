#include "mail/NMPOP3.h"

#include "mail/MailErrors.h"
#include "mail/Pop3Reply.h"
#include "mail/ServerText.h"

using namespace pendar;

namespace {

[[noreturn]] void RaiseServerLine(std::string_view line)
{
    throw EMailError(ReplaceControlBytes(line));
}

} // namespace

TNMPOP3::TNMPOP3()
{
    Port = 110;
}

bool TNMPOP3::CredentialsUsable(const std::string& userId, const std::string& password)
{
    // A CR or LF would let the text end the command and start another.
    auto lineSafe = [](const std::string& s) { return s.find_first_of("\r\n") == std::string::npos; };
    return !userId.empty() && !password.empty() && lineSafe(userId) && lineSafe(password);
}

std::string TNMPOP3::ReadReply()
{
    return Checked([this] { return ReadLn(); });
}

std::string TNMPOP3::Command(std::string_view command)
{
    return Checked([this, command] { return Transaction(command); });
}

template <typename Read>
std::string TNMPOP3::Checked(Read read)
{
    try {
        std::string reply = read();
        if (reply.empty())
            throw ESockError("Connection closed by server");
        return reply;
    } catch (const ESockError&) {
        // The exchange is out of step or gone: no QUIT can follow.
        DropConnection();
        throw;
    }
}

void TNMPOP3::DropConnection()
{
    try {
        if (Connected())
            TPowersock::Disconnect();
    } catch (...) {
    }
}

void TNMPOP3::Connect()
{
    if (!CredentialsUsable(UserID, Password))
        throw EMailError("Authentication failed");
    BusyScope busy(busy_);
    TPowersock::Connect();
    try {
        LogIn();
    } catch (...) {
        // The log-in's own failure is what the caller needs to see.
        try {
            Disconnect();
        } catch (...) {
        }
        throw;
    }
}

std::string TNMPOP3::SecureGreeting()
{
    if (Tls == TPop3Tls::Implicit)
        StartTls(CaFile);
    std::string greeting = ReadLn();
    if (Tls == TPop3Tls::StartTls && ReplyIsOk(greeting)) {
        std::string reply = Command("STLS");
        if (!ReplyIsOk(reply)) {
            DropConnection();
            throw ESockError("STLS refused: " + ReplaceControlBytes(StripLineEnd(reply)));
        }
        StartTls(CaFile);
    }
    return greeting;
}

void TNMPOP3::LogIn()
{
    std::string greeting = Checked([this] { return SecureGreeting(); });
    if (!ReplyIsOk(greeting))
        RaiseServerLine(greeting);
    if (!ReplyIsOk(Transaction("USER " + UserID)))
        throw EMailError("Authentication failed");
    if (!ReplyIsOk(Transaction("PASS " + Password)))
        throw EMailError("Authentication failed");
    std::string stat = Command("STAT");
    if (!ReplyIsOk(stat))
        RaiseServerLine(stat);
    messageCount_ = StrToIntDef(ReplyWord(stat, 2), 0);
}

void TNMPOP3::Disconnect()
{
    if (!Connected())
        return;
    std::string reply;
    try {
        reply = Command("QUIT");
    } catch (...) {
        TPowersock::Disconnect();
        throw;
    }
    TPowersock::Disconnect();
    if (!ReplyIsOk(reply))
        RaiseServerLine(reply);
}

void TNMPOP3::Abort()
{
    Cancel();
    DropConnection();
}

void TNMPOP3::RetrieveSummary(int n)
{
    if (busy_)
        return;
    BusyScope busy(busy_);
    CheckConnection();
    {
        // One time-out for the whole header, not one per line: a server
        // that sends a line now and then must not hold the check for hours.
        TimeOutScope wholeReply(*this);
        std::string reply = Command("TOP " + std::to_string(n) + " 0");
        if (!ReplyIsOk(reply))
            RaiseServerLine(reply);
        summary_.Subject.clear();
        int lines = 0;
        size_t bytes = 0;
        for (;;) {
            std::string line = ReadReply();
            if (IsTerminator(line))
                break;
            bytes += line.size();
            if (++lines > kMaxHeaderLines || bytes > kMaxHeaderBytes) {
                DropConnection();
                throw ESockError("Header too long");
            }
            if (auto subject = SubjectOfLine(line))
                summary_.Subject = std::move(*subject);
        }
    }
    summary_.Bytes = ParseMessageSize(ReplyWord(Command("LIST " + std::to_string(n)), 3));
}

std::string TNMPOP3::RetrieveUidl(int n)
{
    if (busy_)
        return {};
    BusyScope busy(busy_);
    CheckConnection();
    std::string reply = Command("UIDL " + std::to_string(n));
    if (ReplyWord(reply, 1) != "+OK")
        RaiseServerLine(reply);
    return std::string(ReplyWord(reply, 3));
}
