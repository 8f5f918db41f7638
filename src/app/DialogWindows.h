// The log, calendar, settings and character selection windows of the
// running application, created after the main window and shown from its
// menu.
#pragma once

#include "app/MainFormServices.h"
#include "dialogs/CalenderForm.h"
#include "dialogs/CharSelDialog.h"
#include "dialogs/LogForm.h"
#include "dialogs/SettingDialog.h"

namespace pendar {

class DialogWindows final : public IDialogWindows {
public:
    DialogWindows(TLogModel& log, const port::IClock& clock, const QWidget& mainWindow, TSettingModel& settings,
                  StayOnTopQuery stayOnTop);

    void ShowLog() override;
    void ShowCalendar() override;
    void RefreshCalendar() override;
    bool ShowSettings() override;
    void ShowCharSelect(const std::vector<std::string>& names,
                        const std::function<void(const std::string&)>& select) override;

    TLogForm& LogForm() { return logForm_; }
    TCalenderForm& CalenderForm() { return calenderForm_; }
    TSettingDialog& SettingDialog() { return settingDialog_; }
    TCharSelDialog& CharSelDialog() { return charSelDialog_; }

private:
    TLogForm logForm_;
    TCalenderForm calenderForm_;
    TSettingDialog settingDialog_;
    TCharSelDialog charSelDialog_;
};

} // namespace pendar
