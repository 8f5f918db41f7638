// Where the application's log lines go (the log window's model). Text is
// code page 932; colour is a platform colour value (0 black, 255 red).
#pragma once

#include <string_view>

class ILogSink {
public:
    virtual ~ILogSink() = default;
    virtual void AddLog(std::string_view text, int colour) = 0;
};
