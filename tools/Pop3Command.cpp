// pendar-tool pop3: logs in to a mailbox as the clock does, in the clear or
// over TLS, and lists what the clock would see: the message count, then per
// message its number, unique id, size and subject (decoded as the balloon
// shows it).
#include "CommandOptions.h"
#include "EscapedText.h"
#include "EventLoopApplication.h"
#include "ToolCommand.h"

#include "mail/CleanSubject.h"
#include "mail/NMAPOP.h"
#include "mail/Pop3Reply.h"

#include <cstdio>

namespace {

constexpr const char* kUsage = "usage: pendar-tool pop3 --host H [--port P] --user U --password W [--apop] "
                               "[--tls starttls|implicit] [--ca-file FILE] [--timeout MS] [--limit N]\n";

std::optional<TPop3Tls> ParseTls(const std::string& text)
{
    if (text == "starttls")
        return TPop3Tls::StartTls;
    if (text == "implicit")
        return TPop3Tls::Implicit;
    return std::nullopt;
}

int ListMailbox(TNMAPOP& pop, long limit)
{
    using pendar::tool::EscapedText;
    pop.Connect();
    int count = pop.MessageCount();
    std::printf("count %d\n", count);
    if (count <= limit) {
        for (int i = 1; i <= count; ++i) {
            pop.RetrieveSummary(i);
            std::string uidl(pendar::StripLineEnd(pop.RetrieveUidl(i)));
            std::printf("%d\t%s\t%lld\t%s\n", i, EscapedText(uidl).c_str(),
                        static_cast<long long>(pop.Summary().Bytes),
                        EscapedText(CleanSubject(pop.Summary().Subject)).c_str());
        }
    }
    pop.Disconnect();
    return pendar::tool::kExitOk;
}

int RunPop3(const std::vector<std::string>& args)
{
    using namespace pendar::tool;
    auto options = ParseOptions(
        args, {"--host", "--port", "--user", "--password", "--tls", "--ca-file", "--timeout", "--limit"}, {"--apop"});
    auto value = [&](const char* name, const char* fallback) {
        return options->Has(name) ? options->values[name] : std::string(fallback);
    };
    std::optional<long> port, timeout, limit;
    std::optional<TPop3Tls> tls = TPop3Tls::None;
    if (options) {
        if (options->Has("--tls"))
            tls = ParseTls(options->values["--tls"]);
        // POP3S has a port of its own.
        port = ParseNumber(value("--port", tls == TPop3Tls::Implicit ? "995" : "110"), 1, 65535);
        timeout = ParseNumber(value("--timeout", "30000"), 0, 3600000);
        limit = ParseNumber(value("--limit", "100"), 0, 1000000);
    }
    if (!options || !options->Has("--host") || !options->Has("--user") || !options->Has("--password") || !port ||
        !timeout || !limit || !tls) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }

    EventLoopApplication app;
    try {
        TNMAPOP pop;
        pop.Host = options->values["--host"];
        pop.Port = static_cast<int>(*port);
        pop.TimeOut = static_cast<int>(*timeout);
        pop.UserID = options->values["--user"];
        pop.Password = options->values["--password"];
        pop.APOP = options->Flag("--apop");
        pop.Tls = *tls;
        pop.CaFile = value("--ca-file", "");
        try {
            return ListMailbox(pop, *limit);
        } catch (...) {
            try {
                pop.Disconnect();
            } catch (...) {
            }
            throw;
        }
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", EscapedText(e.what()).c_str());
        return kExitFailure;
    }
}

} // namespace

PENDAR_TOOL_COMMAND("pop3",
                    "pop3 --host H [--port P] --user U --password W [--apop] [--tls starttls|implicit] "
                    "[--ca-file FILE] [--timeout MS] [--limit N]  list a mailbox",
                    RunPop3);
