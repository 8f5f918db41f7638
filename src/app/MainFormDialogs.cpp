// The main window's commands that open the log and calendar windows.
#include "app/MainForm.h"

void TMainForm::MILogClick()
{
    if (dialogs_)
        dialogs_->ShowLog();
}

void TMainForm::MICalenderClick()
{
    if (dialogs_)
        dialogs_->ShowCalendar();
}

void TMainForm::MainImageDblClick()
{
    MICalenderClick();
}

void TMainForm::RefreshCalendar()
{
    if (dialogs_)
        dialogs_->RefreshCalendar();
}
