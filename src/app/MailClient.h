// The POP3 client as the mail check uses it. The application's client is
// TNMAPOP (MakePop3MailClient); tests hand the main window a scripted one.
#pragma once

#include "app/Settings.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pendar {

struct MailSummary {
    std::string subject; // the raw header text
    int64_t bytes = 0;
};

class IMailClient {
public:
    virtual ~IMailClient() = default;
    // Connects to the profile's server and logs in; raises on any failure.
    virtual void Connect(const TMailProfile& profile) = 0;
    virtual int MessageCount() const = 0;
    // n counts from 1. Both raise on a protocol or socket error.
    virtual MailSummary RetrieveSummary(int n) = 0;
    virtual std::string RetrieveUidl(int n) = 0;
    // Says QUIT when connected, and closes; raises when QUIT fails.
    virtual void Disconnect() = 0;
    // Ends the session at once without QUIT, also from inside a running
    // wait, and cuts a Pause short. Never raises.
    virtual void Abort() = 0;
    // Waits `ms` while the application keeps running.
    virtual void Pause(int ms) = 0;
};

// TNMAPOP with the given time-out per wait. Raises when the client cannot
// be made (no socket, no event loop).
std::unique_ptr<IMailClient> MakePop3MailClient(int timeOutMs);

} // namespace pendar
