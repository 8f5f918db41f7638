// The mail check over the ten mail profiles, and what the user is told of
// it: the POP3 client, the busy flag, the running check's totals and the
// texts it will show. It runs inside the main window's event loop (the
// client's waits let the application run), so the window may close while
// it waits: the check asks its host after every wait and then stops
// without a word.
#pragma once

#include "app/MailClient.h"
#include "app/MainFormServices.h"
#include "app/Settings.h"
#include "app/SkinInfo.h"
#include "base/LogSink.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pendar {

// What the mail check asks of the main window.
class IMailCheckHost {
public:
    virtual ~IMailCheckHost() = default;
    // The window is closing: a running check stops where it is.
    virtual bool Closing() const = 0;
    virtual bool Shown() const = 0;
    // One of the skin's voices.
    virtual void PlayVoice(const std::string& wave) = 0;
    // News the user must not miss (new mail), with its voice.
    virtual void Announce(const std::string& wave) = 0;
    // Brings a hidden window back (a failed connection is shown).
    virtual void Restore() = 0;
    // While a check runs, the entries that must not start inside it are off.
    virtual void LockMenu(bool locked) = 0;
};

// How a check ended, for the main window's countdowns.
enum class MailCheckEnd {
    NoClient, // nothing to check with; said so
    NotRun,   // one was running already, or closing broke it off
    Finished,
};

// The main window's view of a mail check (tests hand it a fake).
class IMailCheck {
public:
    virtual ~IMailCheck() = default;
    // Makes the client, once the application runs.
    virtual void CreateClient() = 0;
    // Checks every profile that takes part; `manual` shows the connect text.
    // The profiles' seen lists are updated.
    virtual MailCheckEnd Check(bool manual, TAppSettings& settings, const TSkinInfo& skin) = 0;
    virtual bool Busy() const = 0;
    // Breaks a running check off (the window closes).
    virtual void Abort() = 0;
};

class TMailCheck final : public IMailCheck {
public:
    static constexpr int kTimeOutMs = 30000; // per wait of the POP3 client
    using ClientFactory = std::function<std::unique_ptr<IMailClient>()>;

    // `makeClient` (empty: the POP3 client) is called by CreateClient; a
    // client that cannot be made is reported by every check.
    TMailCheck(IMailCheckHost& host, IMessageStore& messages, ILogSink& log, ClientFactory makeClient = {});

    void CreateClient() override;
    MailCheckEnd Check(bool manual, TAppSettings& settings, const TSkinInfo& skin) override;
    bool Busy() const override { return busy_; }
    void Abort() override;

    void SetClient(std::unique_ptr<IMailClient> client) { client_ = std::move(client); }

private:
    // Whether the profile had new mail.
    bool ReadMailbox(TMailProfile& profile, const TAppSettings& settings, const TSkinInfo& skin);
    void ReportError(const TMailProfile& profile, const TAppSettings& settings, const TSkinInfo& skin,
                     const char* logPrefix, const char* what);
    void Queue(std::string text);
    void FlushQueued();

    IMailCheckHost& host_;
    IMessageStore& messages_;
    ILogSink& log_;
    ClientFactory makeClient_;
    std::unique_ptr<IMailClient> client_;
    bool busy_ = false;
    // The running check: its totals and the texts it will show.
    int64_t newMessages_ = 0;
    int64_t newBytes_ = 0;
    std::vector<std::string> queued_;
};

} // namespace pendar
