// The log and calendar windows of the running application, created after
// the main window in that order and shown from its menu.
#pragma once

#include "app/MainFormServices.h"
#include "dialogs/CalenderForm.h"
#include "dialogs/LogForm.h"

namespace pendar {

class DialogWindows final : public IDialogWindows {
public:
    DialogWindows(TLogModel& log, const port::IClock& clock, const QWidget& mainWindow, StayOnTopQuery stayOnTop);

    void ShowLog() override;
    void ShowCalendar() override;
    void RefreshCalendar() override;

    TLogForm& LogForm() { return logForm_; }
    TCalenderForm& CalenderForm() { return calenderForm_; }

private:
    TLogForm logForm_;
    TCalenderForm calenderForm_;
};

} // namespace pendar
