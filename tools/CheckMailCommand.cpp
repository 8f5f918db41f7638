// pendar-tool check-mail: the clock's own manual mail check over the mail
// profiles of a Pendar.ini, with the default skin texts, printing every
// balloon segment and log line it produces. The file is only read.
#include "CommandOptions.h"
#include "EscapedText.h"
#include "EventLoopApplication.h"
#include "ToolCommand.h"

#include "app/ExceptionGuard.h"
#include "app/LoggedSettingsRead.h"
#include "app/MailCheck.h"

#include <cstdio>

namespace {

constexpr const char* kUsage = "usage: pendar-tool check-mail SETTINGS [--repeat N] [--timeout MS]\n";

void PrintLine(const char* kind, std::string_view text)
{
    std::printf("%s: %s\n", kind, pendar::tool::EscapedText(text).c_str());
    std::fflush(stdout);
}

class PrintedBalloon final : public pendar::IMessageStore {
public:
    void FlushMessage() override
    {
        if (!pending_.empty())
            CommitMessage(false);
    }
    void AddMessage(std::string_view text) override { pending_.emplace_back(text); }
    void CommitMessage(bool) override
    {
        for (const std::string& segment : pending_)
            PrintLine("balloon", segment);
        pending_.clear();
    }
    void SkipMessage() override {}
    void ShowNextPage() override {}

private:
    std::vector<std::string> pending_;
};

class PrintedLog final : public ILogSink {
public:
    void AddLog(std::string_view text, int) override { PrintLine("log", text); }
};

// The window the check runs for: always there, closing never, silent.
class NoHost final : public pendar::IMailCheckHost {
public:
    bool Closing() const override { return false; }
    bool Shown() const override { return true; }
    void PlayVoice(const std::string&) override {}
    void Announce(const std::string&) override {}
    void Restore() override {}
    void LockMenu(bool) override {}
};

// What escapes the check goes to the log, as in the clock.
struct LogHook {
    ILogSink& log;
    void ApplicationException(std::string_view className, std::string_view message)
    {
        pendar::LogException(log, className, message);
    }
};

int RunCheckMail(const std::vector<std::string>& args)
{
    using namespace pendar::tool;
    std::optional<CommandOptions> options;
    if (!args.empty() && args[0].rfind("-", 0) != 0)
        options = ParseOptions({args.begin() + 1, args.end()}, {"--repeat", "--timeout"}, {});
    std::optional<long> repeat, timeout;
    if (options) {
        repeat = ParseNumber(options->Has("--repeat") ? options->values["--repeat"] : "1", 1, 1000);
        if (options->Has("--timeout"))
            timeout = ParseNumber(options->values["--timeout"], 0, 3600000);
    }
    if (!repeat || (options->Has("--timeout") && !timeout)) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }

    EventLoopApplication app;

    PrintedBalloon balloon;
    PrintedLog log;
    TAppSettings settings;
    std::string reason;
    if (ReadSettingsLogged(args[0], settings, log, &reason) != SettingsRead::Read) {
        std::fprintf(stderr, "cannot read %s\n", args[0].c_str());
        return kExitFailure;
    }
    const TSkinInfo skin; // the default texts
    NoHost host;
    int timeOutMs = timeout ? static_cast<int>(*timeout) : pendar::TMailCheck::kTimeOutMs;
    pendar::TMailCheck check(host, balloon, log, [timeOutMs] { return pendar::MakePop3MailClient(timeOutMs); });
    check.CreateClient();
    LogHook hook{log};
    for (long i = 0; i < *repeat; ++i)
        pendar::Guarded(hook, [&] { check.Check(true, settings, skin); });
    return kExitOk;
}

} // namespace

PENDAR_TOOL_COMMAND("check-mail",
                    "check-mail SETTINGS [--repeat N] [--timeout MS]  the clock's manual mail check over a Pendar.ini's profiles",
                    RunCheckMail);
