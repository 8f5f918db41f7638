// A mail check that only records that it ran, for the tests of the main
// window's other duties.
#pragma once

#include "app/MailCheck.h"

#include <functional>
#include <string>
#include <vector>

namespace pendar::test {

class FakeMailCheck final : public IMailCheck {
public:
    // Each check and abort is written to `calls` when given, and `during`
    // (when set) runs inside each check, as if it waited for a server.
    void RecordTo(std::vector<std::string>* calls, std::function<void()>* during)
    {
        calls_ = calls;
        during_ = during;
    }

    bool busy = false;

    void CreateClient() override {}
    // The countdowns stay where they are.
    MailCheckEnd Check(bool manual, TAppSettings&, const TSkinInfo&) override
    {
        Record(manual ? "CheckMail manual" : "CheckMail auto");
        if (during_ && *during_)
            (*during_)();
        return MailCheckEnd::NotRun;
    }
    bool Busy() const override { return busy; }
    void Abort() override { Record("AbortMailCheck"); }

private:
    void Record(const char* call)
    {
        if (calls_)
            calls_->push_back(call);
    }
    std::vector<std::string>* calls_ = nullptr;
    std::function<void()>* during_ = nullptr;
};

} // namespace pendar::test
