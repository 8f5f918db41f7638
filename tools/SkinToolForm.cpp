#include "SkinToolForm.h"

#include "app/SkinFiles.h"
#include "base/SchTime.h"
#include "port/Cp932.h"

#include <cstdio>
#include <ctime>

namespace pendar::tool {

std::optional<port::LocalTime> ParseLocalTime(const std::string& text)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    char rest = 0;
    if (text.size() != 16 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d%c", &year, &month, &day, &hour, &minute, &rest) != 5)
        return std::nullopt;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || hour < 0 || minute < 0)
        return std::nullopt;
    TSchTime t;
    TDate date{year, month, day};
    SetTime(t, &date, nullptr);
    port::LocalTime at;
    at.year = year;
    at.month = month;
    at.day = day;
    at.weekday = t.weekday;
    at.hour = hour;
    at.minute = minute;
    return at;
}

int64_t StillClock::UnixNanos() const
{
    struct tm tm {};
    tm.tm_year = at_.year - 1900;
    tm.tm_mon = at_.month - 1;
    tm.tm_mday = at_.day;
    tm.tm_hour = at_.hour;
    tm.tm_min = at_.minute;
    return static_cast<int64_t>(timegm(&tm)) * 1000000000;
}

port::MessageResult KeptMessages::Show(std::string_view text, std::string_view, port::MessageButtons,
                                       port::MessageIcon)
{
    if (!shown_)
        first_ = std::string(text);
    shown_ = true;
    return port::MessageResult::Ok;
}

std::string KeptMessages::First() const
{
    return port::Cp932ToUtf8(first_);
}

SkinToolForm::SkinToolForm(IMainView& view, const port::LocalTime& at)
    : clock_(at),
      form_({clock_, clockSetter_, boxes_, view, messages_, tray_, tracker_, random_, priority_, log_, ""})
{
}

bool SkinToolForm::Open(const std::string& path, std::string& error)
{
    std::optional<TSkinSource> source = SkinSourceFromPath(path);
    if (!source) {
        error = path + ": no such skin folder or pack";
        return false;
    }
    if (form_.OpenSkinFrom(*source))
        return true;
    error = boxes_.First();
    // The file and reason, on a line of their own.
    if (!form_.SkinFailure().empty())
        error += "\n" + port::Cp932ToUtf8(form_.SkinFailure());
    return false;
}

} // namespace pendar::tool
