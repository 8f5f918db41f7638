// A main window's logic for pendar-tool render: it loads a skin exactly as
// the application does, with a clock that stands still at a given moment
// and nothing around it (no tray, no balloon messages, no clock setting).
// Message boxes are kept, not shown: the first is the failure text.
#pragma once

#include "app/MainForm.h"
#include "app/Placeholders.h"
#include "app/StdRandom.h"
#include "NullServices.h"

#include <optional>
#include <string>

namespace pendar::tool {

// "YYYY-MM-DD HH:MM" as a local time, or nullopt.
std::optional<port::LocalTime> ParseLocalTime(const std::string& text);

class StillClock final : public port::IClock {
public:
    explicit StillClock(const port::LocalTime& at) : at_(at) {}
    int64_t UnixNanos() const override;
    port::LocalTime Now() const override { return at_; }

private:
    port::LocalTime at_;
};

// Records the message boxes of a run; the process's boxes while it lives.
class KeptMessages final : public port::IMessageBoxes {
public:
    KeptMessages() { port::SetMessageBoxes(this); }
    ~KeptMessages() override { port::SetMessageBoxes(nullptr); }
    port::MessageResult Show(std::string_view text, std::string_view, port::MessageButtons,
                             port::MessageIcon) override;
    // The first message, in UTF-8 ("" when none was shown).
    std::string First() const;

private:
    std::string first_;
    bool shown_ = false;
};

class SkinToolForm {
public:
    // `view` draws the form (NoWindow when nothing is drawn).
    SkinToolForm(IMainView& view, const port::LocalTime& at);

    TMainForm& Form() { return form_; }
    // Opens the pack or skin folder at `path`; on failure `error` holds the
    // failure text and, on a second line, the file and reason.
    bool Open(const std::string& path, std::string& error);

private:
    class NoLog final : public ILogSink {
    public:
        void AddLog(std::string_view, int) override {}
    };

    StillClock clock_;
    NoClockSetting clockSetter_;
    KeptMessages boxes_;
    UnshownMessages messages_;
    NoTrayIcon tray_;
    NullWindowTracker tracker_;
    StdRandom random_;
    NoPriority priority_;
    NoLog log_;
    TMainForm form_;
};

} // namespace pendar::tool
