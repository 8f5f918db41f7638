#include "app/ConsoleLog.h"

#include "port/Cp932.h"

#include <cstdio>
#include <ctime>

namespace pendar {

void ConsoleLog::AddLog(std::string_view text, int colour)
{
    time_t now = std::time(nullptr);
    struct tm tm {};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y/%m/%d %H:%M:%S", &tm);
    std::fprintf(stderr, "%s%s %s\n", stamp, colour == 255 ? " !" : "", port::Cp932ToUtf8(text).c_str());
}

} // namespace pendar
