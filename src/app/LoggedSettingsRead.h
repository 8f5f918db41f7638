// Pendar.ini read as the clock reads it at start: a file that is there but
// cannot be read is told in the log, with its reason.
#pragma once

#include "app/Settings.h"
#include "base/LogSink.h"

#include <string>

SettingsRead ReadSettingsLogged(const std::string& path, TAppSettings& s, ILogSink& log, std::string* reason);
