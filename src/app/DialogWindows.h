// The log, calendar, settings and character selection windows of the
// running application, shown from the main window's menu. Each is built the
// first time it is wanted and kept from then on: most sessions never open
// them, and a window not built costs neither memory nor start-up time.
#pragma once

#include "app/MainFormServices.h"
#include "dialogs/CalenderForm.h"
#include "dialogs/CharSelDialog.h"
#include "dialogs/LogForm.h"
#include "dialogs/SettingDialog.h"

#include <memory>

namespace pendar {

class DialogWindows final : public IDialogWindows {
public:
    DialogWindows(TLogModel& log, const port::IClock& clock, const QWidget& mainWindow, TSettingModel& settings,
                  StayOnTopQuery stayOnTop);
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
    TLogModel& log_;
    const port::IClock& clock_;
    const QWidget& mainWindow_;
    TSettingModel& settings_;
    StayOnTopQuery stayOnTop_;
    std::unique_ptr<TLogForm> logForm_;
    std::unique_ptr<TCalenderForm> calenderForm_;
    std::unique_ptr<TSettingDialog> settingDialog_;
    std::unique_ptr<TCharSelDialog> charSelDialog_;
};

} // namespace pendar
