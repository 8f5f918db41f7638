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
                             StayOnTopQuery stayOnTop)
    : logForm_(log, mainWindow, stayOnTop), calenderForm_(clock, stayOnTop)
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

} // namespace pendar
