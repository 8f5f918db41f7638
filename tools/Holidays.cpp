// pendar-tool holidays FROM [TO]: the Japanese public holidays of the years
// FROM..TO, one "YYYY-MM-DD<TAB>name" line each, in date order, UTF-8.
#include "ToolCommand.h"

#include "base/Holiday.h"
#include "port/Cp932.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = "holidays FROM [TO]   Japanese public holidays of the years FROM..TO (1948-2099)";
constexpr int kFirstYear = 1948;
constexpr int kLastYear = 2099;

// A year of the supported range written in decimal digits only.
bool ParseYear(const std::string& text, int& year)
{
    if (text.empty() || text.size() > 4)
        return false;
    year = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        year = year * 10 + (c - '0');
    }
    return year >= kFirstYear && year <= kLastYear;
}

int RunHolidays(const std::vector<std::string>& args)
{
    int from = 0;
    int to = 0;
    bool ok = (args.size() == 1 || args.size() == 2) && ParseYear(args[0], from) &&
              ParseYear(args.back(), to) && from <= to;
    if (!ok) {
        std::fprintf(stderr, "usage: pendar-tool %s\n", kUsage);
        return pendar::tool::kExitUsage;
    }
    TSchTime day;
    TDate first{from, 1, 1};
    SetTime(day, &first, nullptr);
    while (day.year <= to) {
        std::string_view name = HolidayName(day);
        if (!name.empty())
            std::printf("%04d-%02d-%02d\t%s\n", day.year, day.month, day.day, port::Cp932ToUtf8(name).c_str());
        NextDay(day);
    }
    return std::fflush(stdout) == 0 ? pendar::tool::kExitOk : pendar::tool::kExitFailure;
}

} // namespace

PENDAR_TOOL_COMMAND("holidays", kUsage, RunHolidays);
