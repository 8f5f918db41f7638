// pendar-tool check-mail: the clock's own manual mail check over the mail
// profiles of a Pendar.ini, with the default skin texts, printing every
// balloon segment and log line it produces. The file is only read.
#include "CommandOptions.h"
#include "EscapedText.h"
#include "EventLoopApplication.h"
#include "NullServices.h"
#include "ToolCommand.h"

#include "app/ExceptionGuard.h"
#include "app/MainForm.h"
#include "app/Placeholders.h"
#include "app/StdRandom.h"

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

// The main window's logic with its real mail check and clients, silent.
class CheckMailForm final : public TMainForm {
public:
    using TMainForm::TMainForm;
    using TMainForm::CreateClients;

    // The POP3 client with another time-out per wait than the clock's.
    void UseMailTimeOut(int ms) { mailClient_ = pendar::MakePop3MailClient(ms); }

protected:
    void PlaySkinWave(const std::string&) override {}
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

    port::SystemClock clock;
    NoClockSetting clockSetter;
    NoWindow view;
    PrintedBalloon balloon;
    pendar::NoTrayIcon tray;
    pendar::NullWindowTracker tracker;
    pendar::StdRandom random;
    NoPriority priority;
    PrintedLog log;
    CheckMailForm form({clock, clockSetter, port::MessageBoxes(), view, balloon, tray, tracker, random, priority,
                        log, args[0]});
    if (!form.LoadSettings()) {
        std::fprintf(stderr, "cannot read %s\n", args[0].c_str());
        return kExitFailure;
    }
    form.CreateClients();
    if (timeout)
        form.UseMailTimeOut(static_cast<int>(*timeout));
    for (long i = 0; i < *repeat; ++i)
        pendar::Guarded(form, [&form] { form.MIMailCheckClick(); });
    return kExitOk;
}

} // namespace

PENDAR_TOOL_COMMAND("check-mail",
                    "check-mail SETTINGS [--repeat N] [--timeout MS]  the clock's manual mail check over a Pendar.ini's profiles",
                    RunCheckMail);
