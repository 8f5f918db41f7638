#include "mail/NMAPOP.h"

#include "mail/MailErrors.h"
#include "mail/Pop3Reply.h"
#include "mail/Zomd5.h"

void TNMAPOP::Connect()
{
    if (!APOP) {
        TNMPOP3::Connect();
        return;
    }
    // On failure the connection stays open until the caller's Disconnect.
    TPowersock::Connect();
    auto timestamp = pendar::ApopTimestamp(SecureGreeting());
    if (!timestamp)
        throw ESocketError("timestamp without existing");
    if (!CredentialsUsable(UserID, Password))
        throw ESocketError("Authentication Error");
    Writeln("APOP " + UserID + " " + pendar::Md5Hex(*timestamp + Password));
    std::string reply = ReadLn();
    if (reply.size() <= 2 || reply.compare(0, 3, "+OK") != 0)
        throw ESocketError("Authentication Error");
    Writeln("STAT");
    messageCount_ = pendar::ApopStatCount(ReadLn());
}
