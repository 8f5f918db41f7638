#include "app/DialogWindows.h"

namespace pendar {

namespace {

void ShowInFront(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

DialogWindows::DialogWindows(TLogModel& log, const port::IClock& clock, const QWidget& mainWindow,
                             TSettingModel& settings, StayOnTopQuery stayOnTop)
    : logForm_(log, mainWindow, stayOnTop), calenderForm_(clock, stayOnTop), settingDialog_(settings, stayOnTop),
      charSelDialog_(stayOnTop)
{
}

void DialogWindows::ShowLog()
{
    ShowInFront(logForm_);
}

void DialogWindows::ShowCalendar()
{
    ShowInFront(calenderForm_);
}

void DialogWindows::RefreshCalendar()
{
    calenderForm_.RefreshCalendar();
}

bool DialogWindows::ShowSettings()
{
    return settingDialog_.exec() == QDialog::Accepted;
}

void DialogWindows::ShowCharSelect(const std::vector<std::string>& names,
                                   const std::function<void(const std::string&)>& select)
{
    charSelDialog_.SetNames(names);
    charSelDialog_.onSelect = select;
    charSelDialog_.exec();
    charSelDialog_.onSelect = nullptr;
}

} // namespace pendar
