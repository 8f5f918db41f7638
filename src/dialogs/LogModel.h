// The log window's content: time-stamped lines in their colours, at most
// 1024 of them. It is created before any window and outlives them all, so
// that what is logged while the windows come and go is kept.
#pragma once

#include "base/LogSink.h"
#include "dialogs/Colours.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace port {
class IClock;
}

namespace pendar {

struct TLogLine {
    std::string text;    // code page 932
    uint32_t colour;     // platform colour value of the text
    int stampLength;     // leading bytes drawn in the stamp colour (the time)
};

// Told about every line the log takes in.
class ILogLineView {
public:
    virtual ~ILogLineView() = default;
    virtual void LineAdded(const TLogLine& line) = 0;
};

class TLogModel final : public ILogSink {
public:
    static constexpr int kMaxLines = 1024;
    static constexpr int kMaxPieces = 8; // lines of one entry
    static constexpr int kStampLength = 5;
    static constexpr uint32_t kStampColour = clBlue;

    explicit TLogModel(const port::IClock& clock);

    // Splits text at line feeds into at most eight pieces and adds every
    // non-empty one as " H:MM piece"; the oldest lines go beyond 1024.
    void AddLog(std::string_view text, int colour) override;

    const std::deque<TLogLine>& Lines() const { return lines_; }

    // The view that shows the lines (null: none).
    void SetView(ILogLineView* view) { view_ = view; }
    // A second sink that gets every entry as it came (null: none).
    void SetMirror(ILogSink* mirror) { mirror_ = mirror; }

private:
    void Append(TLogLine line);

    const port::IClock& clock_;
    std::deque<TLogLine> lines_;
    ILogLineView* view_ = nullptr;
    ILogSink* mirror_ = nullptr;
};

} // namespace pendar
