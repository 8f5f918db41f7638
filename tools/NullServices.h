// Stand-ins for what a main window's logic talks to, for subcommands that
// run it without a desktop: a window that is always there and does nothing,
// a thread priority that stays, a clock that is never set.
#pragma once

#include "app/MainFormServices.h"
#include "port/Clock.h"
#include "port/ThreadPriority.h"

#include <string>

namespace pendar::tool {

class NoWindow final : public IMainView {
public:
    void SetCaption(std::string_view) override {}
    void SetHints(std::string_view) override {}
    void Show() override {}
    void Hide() override {}
    void Minimize() override {}
    bool IsVisible() const override { return true; }
    bool IsApplicationActive() const override { return false; }
    void SetTaskbarEntry(bool) override {}
    void StartTick() override {}
    void StopTick() override {}
    void ScheduleStartupWork() override {}
    void ReleaseMouseCapture() override {}
    void RequestClose() override {}
    void OpenHelp() override {}
    void FaceChanged(unsigned) override {}
    port::TRect WorkArea() const override { return {0, 0, 1024, 768}; }
    void MoveWindow(int, int) override {}
    void SetStayOnTop(bool) override {}
    void BringToFront() override {}
};

class NoPriority final : public port::IThreadPriority {
public:
    void Lower() override {}
    void Restore() override {}
};

class NoClockSetting final : public port::IClockSetter {
public:
    port::ClockWay Way(std::string* why) override
    {
        if (why)
            *why = "pendar-tool never sets the clock";
        return port::ClockWay::None;
    }
    void Set(port::ClockWay, int64_t, bool, Done done) override { done(false, "pendar-tool never sets the clock"); }
};

} // namespace pendar::tool
