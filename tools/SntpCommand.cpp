// pendar-tool sntp: one SNTP query as the clock makes it, printing the
// corrected local time and the offset. It never sets the clock.
#include "CommandOptions.h"
#include "ToolCommand.h"

#include "sntp/NMSNTP.h"
#include "sntp/SecondsText.h"

#include <cstdio>

namespace {

constexpr const char* kUsage =
    "usage: pendar-tool sntp HOST [--port P] [--local-port P] [--timeout MS] [--version 1|4]\n";

int RunSntp(const std::vector<std::string>& args)
{
    using namespace pendar::tool;
    std::optional<CommandOptions> options;
    if (!args.empty() && args[0].rfind("-", 0) != 0)
        options = ParseOptions({args.begin() + 1, args.end()}, {"--port", "--local-port", "--timeout", "--version"},
                               {});
    auto value = [&](const char* name, const char* fallback) {
        return options->Has(name) ? options->values[name] : std::string(fallback);
    };
    std::optional<long> port, localPort, timeout, version;
    if (options) {
        port = ParseNumber(value("--port", "123"), 1, 65535);
        localPort = ParseNumber(value("--local-port", "1024"), 0, 65535);
        timeout = ParseNumber(value("--timeout", "5000"), 0, 3600000);
        version = ParseNumber(value("--version", "4"), 1, 4);
    }
    if (!options || !port || !localPort || !timeout || !version || (*version != 1 && *version != 4)) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }

    TNMSNTP sntp;
    sntp.RemoteHost = args[0];
    sntp.RemotePort = static_cast<int>(*port);
    sntp.LocalPort = static_cast<int>(*localPort);
    sntp.TimeOut = static_cast<int>(*timeout);
    sntp.SetVersion(static_cast<int>(*version));
    TSntpResult result;
    if (!sntp.QueryTime(result)) {
        std::fprintf(stderr, "%s\n", sntp.LastError().c_str());
        return kExitFailure;
    }
    const port::LocalTime& t = result.local;
    std::printf("time %04d-%02d-%02dT%02d:%02d:%02d.%03d\n", t.year, t.month, t.day, t.hour, t.minute, t.second,
                t.millisecond);
    std::string offset = pendar::SecondsText(result.offsetNanos, 3);
    std::printf("offset %s%s\n", offset[0] == '-' ? "" : "+", offset.c_str());
    return kExitOk;
}

} // namespace

PENDAR_TOOL_COMMAND("sntp",
                    "sntp HOST [--port P] [--local-port P] [--timeout MS] [--version 1|4]  ask an NTP server the "
                    "time (never sets the clock)",
                    RunSntp);
