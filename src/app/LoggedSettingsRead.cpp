#include "app/LoggedSettingsRead.h"

#include "port/Cp932.h"

SettingsRead ReadSettingsLogged(const std::string& path, TAppSettings& s, ILogSink& log, std::string* reason)
{
    SettingsRead read = ReadSettingsFile(path, s, reason);
    if (read == SettingsRead::Unreadable)
        log.AddLog(port::Utf8ToCp932("Settings: cannot read " + path + " (" + *reason +
                                     "); the defaults are used and nothing is saved over it in this run"),
                   255);
    return read;
}
