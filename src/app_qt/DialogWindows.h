// The log, calendar, settings and character selection windows of the
// running application, shown from the main window's menu. Each is built the
// first time it is wanted and kept from then on: most sessions never open
// them, and a window not built costs neither memory nor start-up time. Each
// takes the main window's stay-on-top state before it is shown and, on an
// X11 desktop, has no task-bar button of its own.
#pragma once

#include "app/MainFormServices.h"
#include "dialogs_qt/CalenderForm.h"
#include "dialogs_qt/CharSelDialog.h"
#include "dialogs_qt/LogForm.h"
#include "dialogs_qt/SettingDialog.h"

#include <memory>

namespace pendar {

class XcbWindowTracker;

class DialogWindows final : public IDialogWindows {
public:
    // `character`: the character's part of the main window, which the log
    // is shown beside. `desktop`: the X11 desktop's connection, or null
    // elsewhere.
    DialogWindows(TLogModel& log, const port::IClock& clock, const QWidget& character, TSettingModel& settings,
                  StayOnTopQuery stayOnTop, XcbWindowTracker* desktop = nullptr);
    ~DialogWindows() override;

    void ShowLog() override;
    void ShowCalendar() override;
    void RefreshCalendar() override;
    bool ShowSettings() override;
    void ShowCharSelect(const std::vector<std::string>& names,
                        const std::function<void(const std::string&)>& select) override;

    // Each window, built on the first call.
    TLogForm& LogForm();
    TCalenderForm& CalenderForm();
    TSettingDialog& SettingDialog();
    TCharSelDialog& CharSelDialog();
    // How many of the four windows exist so far.
    int Built() const;

private:
    // A window just built: one task-bar button at most, the character's.
    void Made(QWidget& window);
    void ShowInFront(QWidget& window);
    void SettleOnTop(QWidget& window);

    TLogModel& log_;
    const port::IClock& clock_;
    const QWidget& character_;
    TSettingModel& settings_;
    StayOnTopQuery stayOnTop_;
    XcbWindowTracker* desktop_;
    std::unique_ptr<TLogForm> logForm_;
    std::unique_ptr<TCalenderForm> calenderForm_;
    std::unique_ptr<TSettingDialog> settingDialog_;
    std::unique_ptr<TCharSelDialog> charSelDialog_;
};

} // namespace pendar
