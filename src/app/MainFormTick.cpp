// The 200 ms tick: the application's main loop.
#include "app/MainForm.h"
#include "port/FlagScope.h"

void TMainForm::CheckTimerTimer()
{
    if (tickGuard_)
        return;
    pendar::TFlagScope guard(tickGuard_);

    if (!modal_)
        TrackForeground();

    TSchTime now = NowTime(svc_.clock);
    if (now.minute != currentTime_.minute) {
        if (mailCountdown_ > 0)
            --mailCountdown_;
        if (ntpRetryCountdown_ > 0)
            --ntpRetryCountdown_;
    }
    if (now.month != currentTime_.month || now.day != currentTime_.day || now.hour != currentTime_.hour ||
        now.minute != currentTime_.minute) {
        UpdateClock(now);
        if (now.day != currentTime_.day)
            RefreshCalendar();
        // Chronological: a weekday-first comparison would call the minute
        // after Saturday midnight earlier and skip its checks.
        bool wentBack = CompareChronological(currentTime_, now) == 1;
        currentTime_ = now;
        if (!wentBack) {
            if (settings_.schEnable)
                CheckSchedules();
            if (settings_.timeEnable)
                CheckTimeSync();
        }
    }

    if (!modal_) {
        if (AnimationRunning()) {
            StepAnimation();
        } else if (--idleCountdown_ < 0) {
            idleCountdown_ = 4;
            IdleAction();
        }
        if (mailCountdown_ == 0 && settings_.mailEnable)
            CheckMail(false);
    }

    FollowTrayHost();
    StepTrayFlash();
}

void TMainForm::TrackForeground()
{
    pendar::ForegroundInfo f = svc_.tracker.Foreground();
    switch (f.kind) {
    case pendar::ForegroundInfo::Own:
        if (trackedWindow_ != 0 && !svc_.tracker.IsShown(trackedWindow_)) {
            trackedWindow_ = 0;
            PlaceIfWindowRelative();
        }
        break;
    case pendar::ForegroundInfo::Other:
        if (f.id != trackedWindow_ || !(f.rect == trackedRect_)) {
            trackedWindow_ = f.id;
            trackedRect_ = f.rect;
            PlaceIfWindowRelative();
        }
        break;
    case pendar::ForegroundInfo::None:
        if (trackedWindow_ != 0) {
            trackedWindow_ = 0;
            PlaceIfWindowRelative();
        }
        break;
    }
}

void TMainForm::PlaceIfWindowRelative()
{
    if (EffectiveAlign() > 4)
        PlaceWindow(false);
}

// A notification area that starts after Pendar (or goes away) changes where
// the window goes when it is minimised, and whether it needs its task-bar
// entry.
void TMainForm::FollowTrayHost()
{
    if (!trayRequested_ || svc_.tray.Shown() == trayAdded_)
        return;
    trayAdded_ = !trayAdded_;
    svc_.view.SetTaskbarEntry(!trayAdded_);
    if (!trayAdded_ && !svc_.view.IsVisible())
        SysRestoreClick(); // hidden to an icon that is gone: bring it back
}

void TMainForm::StepTrayFlash()
{
    const char* icon = nullptr;
    if (flashCount_ > 0) {
        --flashCount_;
        if (flashCount_ % 4 == 0)
            icon = kIconNormal;
        else if (flashCount_ % 4 == 2)
            icon = kIconFlash;
    }
    if (flashCount_ <= 0 && trayIcon_ != kIconNormal)
        icon = kIconNormal;
    if (icon) {
        svc_.tray.SetIcon(icon);
        trayIcon_ = icon;
    }
}
