// What the main window's logic needs from the world around it. The Qt view
// and the platform supply the real ones; tests supply fakes.
#pragma once

#include "port/Rect.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pendar {

// The main window as the logic sees it. Texts are code page 932.
class IMainView {
public:
    virtual ~IMainView() = default;
    virtual void SetCaption(std::string_view text) = 0;
    // The hint (tool tip) of the character and its clock labels.
    virtual void SetHints(std::string_view text) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // Minimised to its task-bar entry (when there is no tray icon to hide to).
    virtual void Minimize() = 0;
    virtual bool IsVisible() const = 0;
    // True when one of Pendar's windows has the input focus.
    virtual bool IsApplicationActive() const = 0;
    // Whether the window has an entry in the task bar.
    virtual void SetTaskbarEntry(bool shown) = 0;
    virtual void StartTick() = 0;
    virtual void StopTick() = 0;
    // Runs TMainForm::StartupWork once the event loop is idle.
    virtual void ScheduleStartupWork() = 0;
    virtual void ReleaseMouseCapture() = 0;
    // Closes the window through its ordinary close path (later, from the
    // event loop).
    virtual void RequestClose() = 0;
    virtual void OpenHelp() = 0;
    // Parts of TMainForm::Face() changed (TFacePart bits): draw them anew.
    virtual void FaceChanged(unsigned parts) = 0;
    // The primary screen's area above the task bar, in screen pixels.
    virtual port::TRect WorkArea() const = 0;
    // Moves the window's top-left corner to (x, y) on the screen.
    virtual void MoveWindow(int x, int y) = 0;
    // Topmost or not, for the main window and every dialog.
    virtual void SetStayOnTop(bool onTop) = 0;
    // Raises the window above the others and gives it the input focus.
    virtual void BringToFront() = 0;
};

// The speech balloon's message store.
class IMessageStore {
public:
    virtual ~IMessageStore() = default;
    virtual void FlushMessage() = 0;
    virtual void AddMessage(std::string_view text) = 0;
    // transient: the message is not kept in the history.
    virtual void CommitMessage(bool transient) = 0;
    // Drops the message on display when it is transient.
    virtual void SkipMessage() = 0;
    // The next four lines, segment or older message; hides the balloon
    // when everything is read.
    virtual void ShowNextPage() = 0;
    void AddMessages(const std::vector<std::string>& texts)
    {
        for (const std::string& text : texts)
            AddMessage(text);
    }
};

// The notification-area icon.
class ITrayIcon {
public:
    virtual ~ITrayIcon() = default;
    // Adds the icon; false when there is no notification area to show it
    // now (the icon appears when one starts: see Shown).
    virtual bool Add(std::string_view tip, std::string_view icon) = 0;
    virtual void SetIcon(std::string_view icon) = 0;
    virtual void Delete() = 0;
    // Whether an added icon is in a notification area at this moment.
    virtual bool Shown() const = 0;
};

// The windows the main window opens besides itself.
class IDialogWindows {
public:
    virtual ~IDialogWindows() = default;
    virtual void ShowLog() = 0;
    virtual void ShowCalendar() = 0;
    // Redraws the calendar's month (the day changed).
    virtual void RefreshCalendar() = 0;
    // Shows the settings dialog modally over the main window's settings
    // model; true when it was closed with OK. Without one, nothing is shown.
    virtual bool ShowSettings() { return false; }
    // Shows the character selection modally with `names`; `select` runs
    // with each name the user applies.
    virtual void ShowCharSelect(const std::vector<std::string>& /*names*/,
                                const std::function<void(const std::string&)>& /*select*/)
    {
    }
};

// Uniform non-negative integers.
class IRandomSource {
public:
    virtual ~IRandomSource() = default;
    virtual void Seed(uint64_t seed) = 0;
    virtual int Next() = 0;
};

} // namespace pendar
