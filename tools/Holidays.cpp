// pendar-tool holidays FROM [TO]: the Japanese public holidays of the years
// FROM..TO, one "YYYY-MM-DD<TAB>name" line each, in date order, UTF-8.
#include "CommandOptions.h"
#include "ToolCommand.h"

#include "base/Holiday.h"
#include "port/Cp932.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = "holidays FROM [TO]            Japanese public holidays of the years FROM..TO (1948-2099)";
constexpr int kFirstYear = 1948;
constexpr int kLastYear = 2099;

int RunHolidays(const std::vector<std::string>& args)
{
    std::optional<long> from, to;
    if (args.size() == 1 || args.size() == 2) {
        from = pendar::tool::ParseNumber(args.front(), kFirstYear, kLastYear);
        to = pendar::tool::ParseNumber(args.back(), kFirstYear, kLastYear);
    }
    if (!from || !to || *from > *to) {
        std::fprintf(stderr, "usage: pendar-tool %s\n", kUsage);
        return pendar::tool::kExitUsage;
    }
    TSchTime day;
    TDate first{static_cast<int>(*from), 1, 1};
    SetTime(day, &first, nullptr);
    while (day.year <= *to) {
        std::string_view name = HolidayName(day);
        if (!name.empty())
            std::printf("%04d-%02d-%02d\t%s\n", day.year, day.month, day.day, port::Cp932ToUtf8(name).c_str());
        NextDay(day);
    }
    return std::fflush(stdout) == 0 ? pendar::tool::kExitOk : pendar::tool::kExitFailure;
}

} // namespace

PENDAR_TOOL_COMMAND("holidays", kUsage, RunHolidays);
