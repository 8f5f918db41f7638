// A TMainForm whose later-built steps record that they ran.
#pragma once

#include "FakeMailCheck.h"

#include "app/MainForm.h"
#include "support/RecordingServices.h"
#include "support/TempDir.h"

#include <functional>
#include <string>
#include <vector>

namespace pendar::test {

class TestForm : public TMainForm {
public:
    // The mail check is a fake that writes to `calls`.
    explicit TestForm(Services services) : TMainForm(WithFakeMail(std::move(services)))
    {
        static_cast<FakeMailCheck&>(MailCheck()).RecordTo(&calls, &duringMailCheck);
    }

    std::vector<std::string> calls;
    bool animating = false;
    int align = alBottom;
    bool openSkinResult = true;
    std::function<void()> duringMailCheck;

    int Count(const std::string& name) const
    {
        int n = 0;
        for (const auto& c : calls)
            n += c == name;
        return n;
    }

protected:
    bool OpenSkin(const std::string& name) override
    {
        calls.push_back("OpenSkin " + name);
        return openSkinResult;
    }
    void UpdateClock(const TSchTime&) override { calls.push_back("UpdateClock"); }
    void RefreshCalendar() override { calls.push_back("RefreshCalendar"); }
    void CheckSchedules() override { calls.push_back("CheckSchedules"); }
    void CheckTimeSync() override { calls.push_back("CheckTimeSync"); }
    bool AnimationRunning() const override { return animating; }
    void StepAnimation() override { calls.push_back("StepAnimation"); }
    void IdleAction() override { calls.push_back("IdleAction"); }
    void PlaySkinWave(const std::string& name) override { calls.push_back("Play " + name); }
    int EffectiveAlign() const override { return align; }
    void PlaceWindow(bool) override { calls.push_back("PlaceWindow"); }
    void ApplyZOrder() override { calls.push_back("ApplyZOrder"); }
    void BringToFront() override { calls.push_back("BringToFront"); }
    bool SyncTime(bool byUser) override
    {
        calls.push_back(byUser ? "SyncTime by user" : "SyncTime");
        return true;
    }

public:
    void SetMailBusy(bool busy) { static_cast<FakeMailCheck&>(MailCheck()).busy = busy; }

private:
    static Services WithFakeMail(Services services)
    {
        services.makeMailCheck = [](::pendar::IMailCheckHost&) { return std::make_unique<FakeMailCheck>(); };
        return services;
    }
};

// A form on a fake clock with recording services and its own settings file.
struct FormFixture {
    // Where the autostart entry goes, and the program it starts (a path
    // with a blank, as a user's may have).
    static constexpr const char* kAutostart = "config/autostart/org.pendar.Pendar.desktop";
    static constexpr const char* kExecutable = "/opt/my tools/bin/pendar";

    RecordingWorld world;
    TempDir dir;
    TestForm form{WithDesktop(world.Services(dir.File("Pendar.ini")), dir)};

    static TMainForm::Services WithDesktop(TMainForm::Services services, const TempDir& dir)
    {
        services.autostartFile = dir.File(kAutostart);
        services.executable = kExecutable;
        return services;
    }

    // Runs `ticks` ticks, advancing the clock 200 ms before each.
    void Tick(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i) {
            world.clock.AdvanceMs(TMainForm::kTickMs);
            form.CheckTimerTimer();
        }
    }
};

} // namespace pendar::test
