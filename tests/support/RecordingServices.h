// Recording stand-ins for everything TMainForm talks to, and a harness that
// wires them to a form driven by a fake clock.
#pragma once

#include "app/MainForm.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBoxes.h"

#include <deque>
#include <string>
#include <vector>

namespace pendar::test {

class RecordingView final : public IMainView {
public:
    void SetCaption(std::string_view text) override { caption = text; }
    void SetHints(std::string_view text) override { hints = text; }
    void Show() override { visible = true; calls.push_back("Show"); }
    void Hide() override { visible = false; calls.push_back("Hide"); }
    void Minimize() override { calls.push_back("Minimize"); }
    bool IsVisible() const override { return visible; }
    bool IsApplicationActive() const override { return active; }
    void SetTaskbarEntry(bool shown) override { taskbarEntry = shown; }
    void StartTick() override { ticking = true; }
    void StopTick() override { ticking = false; }
    void ScheduleStartupWork() override { startupScheduled = true; }
    void ReleaseMouseCapture() override { calls.push_back("ReleaseMouseCapture"); }
    void RequestClose() override { calls.push_back("RequestClose"); }
    void OpenHelp() override { calls.push_back("OpenHelp"); }
    void FaceChanged(unsigned parts) override { faceChanges |= parts; }
    port::TRect WorkArea() const override { return workArea; }
    void MoveWindow(int x, int y) override
    {
        left = x;
        top = y;
        ++moves;
    }
    void SetStayOnTop(bool on) override { onTop = on; }
    void BringToFront() override { calls.push_back("BringToFront"); }

    std::string caption, hints;
    bool visible = true;
    bool active = false;
    bool taskbarEntry = true;
    bool ticking = false;
    bool startupScheduled = false;
    unsigned faceChanges = 0; // every TFacePart reported
    port::TRect workArea{0, 0, 1024, 740};
    int left = 0, top = 0; // where the window was moved last
    int moves = 0;
    bool onTop = false;
    std::vector<std::string> calls;
};

class RecordingMessages final : public IMessageStore {
public:
    struct Message {
        std::vector<std::string> segments;
        bool transient;
    };
    void FlushMessage() override { pending.clear(); }
    void AddMessage(std::string_view text) override { pending.emplace_back(text); }
    void CommitMessage(bool transient) override { committed.push_back({pending, transient}); }
    void SkipMessage() override { ++skipped; }
    void ShowNextPage() override { ++pagesTurned; }

    std::vector<std::string> pending;
    std::vector<Message> committed;
    int skipped = 0;
    int pagesTurned = 0;
};

class RecordingTray final : public ITrayIcon {
public:
    bool Add(std::string_view, std::string_view icon) override
    {
        if (available)
            icons.emplace_back(icon);
        return available;
    }
    void SetIcon(std::string_view icon) override { icons.emplace_back(icon); }
    void Delete() override { deleted = true; }
    bool Shown() const override { return available && !deleted; }

    bool available = true; // a notification area runs
    bool deleted = false;
    std::vector<std::string> icons;
};

class ScriptedTracker final : public IWindowTracker {
public:
    void Follow(bool on) override { following = on; }
    ForegroundInfo Foreground() override { return foreground; }
    bool IsShown(WindowId id) override { return id != 0 && id == shown; }

    ForegroundInfo foreground;
    WindowId shown = 0;
    bool following = false;
};

class ScriptedRandom final : public IRandomSource {
public:
    void Seed(uint64_t s) override { seeds.push_back(s); }
    int Next() override
    {
        if (values.empty())
            return 0;
        int v = values.front();
        values.pop_front();
        return v;
    }
    std::deque<int> values;
    std::vector<uint64_t> seeds;
};

class RecordingPriority final : public port::IThreadPriority {
public:
    void Lower() override { calls.push_back("Lower"); }
    void Restore() override { calls.push_back("Restore"); }
    std::vector<std::string> calls;
};

class RecordingLog final : public ILogSink {
public:
    struct Line {
        std::string text;
        int colour;
    };
    void AddLog(std::string_view text, int colour) override { lines.push_back({std::string(text), colour}); }
    std::vector<Line> lines;
};

// Everything a TMainForm needs, recorded. Construct the form with Services().
struct RecordingWorld {
    FakeClock clock;
    RecordingClockSetter clockSetter;
    RecordingMessageBoxes boxes;
    RecordingView view;
    RecordingMessages messages;
    RecordingTray tray;
    ScriptedTracker tracker;
    ScriptedRandom random;
    RecordingPriority priority;
    RecordingLog log;

    // `setter`: a real clock setter in place of the recording one.
    TMainForm::Services Services(const std::string& settingsFile, port::IClockSetter* setter = nullptr)
    {
        return {clock, setter ? *setter : clockSetter, boxes, view, messages, tray, tracker, random, priority, log,
                settingsFile};
    }
};

} // namespace pendar::test
