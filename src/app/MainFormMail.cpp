// The main window's side of the mail check (MailCheck.cpp): its countdowns
// and what the check asks of the window.
#include "app/MainForm.h"

void TMainForm::CheckMail(bool manual)
{
    switch (mail_->Check(manual, settings_, skin_)) {
    case pendar::MailCheckEnd::NoClient:
        // The next automatic attempt waits Interval minutes, not one tick.
        mailCountdown_ = settings_.interval;
        break;
    case pendar::MailCheckEnd::NotRun:
        break;
    case pendar::MailCheckEnd::Finished:
        mailCountdown_ = settings_.interval;
        idleCountdown_ = 0;
        break;
    }
}

bool TMainForm::Shown() const
{
    return svc_.view.IsVisible();
}

void TMainForm::LockMenu(bool locked)
{
    for (const char* entry : {"MIMailCheck", "MISetting", "MISysClose"})
        menu_.SetEnabled(entry, !locked);
}
