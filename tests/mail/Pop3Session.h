// What the clock does with a mailbox, for the POP3 client tests: aim the
// client at a loopback port, run a session and describe what the caller saw.
#pragma once

#include "mail/MailErrors.h"
#include "mail/NMAPOP.h"
#include "mail/Pop3Reply.h"

#include <string>

namespace pendar::test {

inline std::string Describe(const std::exception& e)
{
    std::string kind = dynamic_cast<const ESocketError*>(&e)   ? "ESocketError"
                       : dynamic_cast<const ESockError*>(&e)   ? "ESockError"
                       : dynamic_cast<const EAbortError*>(&e)  ? "EAbortError"
                       : dynamic_cast<const EConvertError*>(&e) ? "EConvertError"
                       : dynamic_cast<const EMailError*>(&e)   ? "EMailError"
                                                               : "other";
    return kind + ": " + e.what();
}

// Connect, read `reads` summaries and unique ids, disconnect (also after a
// failure). The result lists what the caller saw, "!" before a failure.
inline std::string RunSession(TNMAPOP& pop, int reads)
{
    std::string seen;
    try {
        pop.Connect();
        seen = "count " + std::to_string(pop.MessageCount());
        for (int i = 1; i <= reads; ++i) {
            pop.RetrieveSummary(i);
            seen += " | [" + pop.Summary().Subject + "] " + std::to_string(pop.Summary().Bytes);
            seen += " " + std::string(pendar::StripLineEnd(pop.RetrieveUidl(i)));
        }
        pop.Disconnect();
    } catch (const std::exception& e) {
        seen += (seen.empty() ? "! " : " ! ") + Describe(e);
        try {
            pop.Disconnect();
        } catch (const std::exception& e2) {
            seen += " !! " + Describe(e2);
        }
    }
    return seen;
}

// Points `pop` at a loopback port with a time-out and credentials.
inline void Aim(TNMAPOP& pop, int port, int timeOut, const std::string& user = "u", const std::string& password = "p")
{
    pop.Host = "127.0.0.1";
    pop.Port = port;
    pop.TimeOut = timeOut;
    pop.UserID = user;
    pop.Password = password;
}

// The APOP example of RFC 1939: its greeting and the command it must give.
inline const std::string kGreeting = "+OK POP3 ready <1896.697170952@dbc.mtview.ca.us>\r\n";
inline const std::string kRfcApop = "APOP mrose c4c9334bac560ecc979e58001b3e22fb\r\n";

} // namespace pendar::test
