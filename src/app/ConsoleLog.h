// A log sink that writes time-stamped lines to standard error (UTF-8).
#pragma once

#include "base/LogSink.h"

namespace pendar {

class ConsoleLog final : public ILogSink {
public:
    void AddLog(std::string_view text, int colour) override;
};

} // namespace pendar
