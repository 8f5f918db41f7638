// A scripted POP3 client for the mail driver: mailboxes by host name, every
// call recorded, failures on request, and a hook that runs inside each call
// as an event handler runs inside a real client's wait.
#pragma once

#include "app/MailClient.h"
#include "mail/MailErrors.h"
#include "support/FakeClock.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pendar::test {

struct FakeMessage {
    std::string uid;
    std::string subject;
    int64_t bytes = 100;
};

struct FakeMailbox {
    std::vector<FakeMessage> messages;
    std::string connectError; // non-empty: Connect raises ESockError with it
    int failingSummary = 0;   // RetrieveSummary of this message raises
    std::string quitError;    // non-empty: Disconnect raises with it
};

// n messages with ids "u1".."un", subjects "S1".."Sn", 100 bytes each.
inline std::vector<FakeMessage> Messages(int n)
{
    std::vector<FakeMessage> m;
    for (int i = 1; i <= n; ++i)
        m.push_back({"u" + std::to_string(i), "S" + std::to_string(i), 100});
    return m;
}

class FakeMailClient final : public IMailClient {
public:
    explicit FakeMailClient(FakeClock& clock) : clock_(clock) {}

    std::map<std::string, FakeMailbox> boxes;
    std::vector<std::string> calls;
    // Runs inside every call, with the call's record ("Summary 2").
    std::function<void(const std::string&)> during;

    void Connect(const TMailProfile& p) override
    {
        Call("Connect " + p.host + ":" + std::to_string(p.port) + " " + p.user + " " + p.password +
             (p.apop ? " APOP" : ""));
        box_ = &boxes[p.host];
        if (!box_->connectError.empty())
            throw ESockError(box_->connectError);
        connected_ = true;
    }
    int MessageCount() const override { return box_ ? static_cast<int>(box_->messages.size()) : 0; }
    MailSummary RetrieveSummary(int n) override
    {
        Call("Summary " + std::to_string(n));
        Connected();
        if (n == box_->failingSummary)
            throw EMailError("-ERR no such message");
        const FakeMessage& m = box_->messages.at(static_cast<size_t>(n - 1));
        return {m.subject, m.bytes};
    }
    std::string RetrieveUidl(int n) override
    {
        Call("Uidl " + std::to_string(n));
        Connected();
        return box_->messages.at(static_cast<size_t>(n - 1)).uid;
    }
    void Disconnect() override
    {
        if (!connected_)
            return;
        Call("QUIT");
        connected_ = false;
        if (!box_->quitError.empty())
            throw EMailError(box_->quitError);
    }
    void Abort() override
    {
        calls.push_back("Abort");
        aborted_ = true;
        connected_ = false;
    }
    // An Abort from inside ends the pause early; a pause never raises.
    void Pause(int ms) override
    {
        std::string record = "Pause " + std::to_string(ms);
        calls.push_back(record);
        aborted_ = false;
        if (during)
            during(record);
        if (!aborted_)
            clock_.AdvanceMs(ms);
    }

private:
    // Records the call and runs the hook; an Abort from inside ends the call
    // as it ends a real wait.
    void Call(const std::string& record)
    {
        calls.push_back(record);
        aborted_ = false;
        if (during)
            during(record);
        if (aborted_)
            throw EAbortError("Aborted");
    }
    void Connected() const
    {
        if (!connected_)
            throw EMailError("Not Connected");
    }

    FakeClock& clock_;
    FakeMailbox* box_ = nullptr;
    bool connected_ = false;
    bool aborted_ = false;
};

} // namespace pendar::test
