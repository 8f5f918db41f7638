// The menu command MISetting: the settings dialog over copies of the
// settings, copied back only after OK with a change.
#include "app/MainForm.h"
#include "app/DesktopId.h"
#include "app/BusyScope.h"
#include "platform/AutostartEntry.h"
#include "port/Cp932.h"

void TMainForm::CopySettingsToDialog()
{
    pendar::TSettingModel& d = settingDialog_;
    for (int i = 0; i < kScheduleCount; ++i) {
        d.schNames[i] = settings_.schedules[i].name;
        d.schTimes[i] = settings_.schedules[i].time;
    }
    d.profiles = settings_.profiles;
    d.mailConfig = {settings_.interval, settings_.sameCheck};
    d.time.timeEnable = settings_.timeEnable;
    d.time.ntpServer = settings_.ntpServer;
    d.ShowTimeSyncPattern(settings_.ntpTime);
    d.general = {settings_.active,   settings_.emphasis, settings_.stayOnTop,
                 settings_.taskbar,  settings_.waveFlag, settings_.randomWav};
    // Not a setting of Pendar.ini: whether the entry is there now.
    d.autostartOffered = !svc_.autostartFile.empty() && !svc_.executable.empty();
    d.general.autostart = d.autostartOffered && pendar::AutostartEntryExists(svc_.autostartFile);
}

void TMainForm::ApplyAutostart(bool wanted)
{
    if (svc_.autostartFile.empty() || svc_.executable.empty() ||
        wanted == pendar::AutostartEntryExists(svc_.autostartFile))
        return;
    std::string error;
    bool done = wanted ? pendar::WriteAutostartEntry(svc_.autostartFile, svc_.executable, pendar::kDesktopId, &error)
                       : pendar::RemoveAutostartEntry(svc_.autostartFile, &error);
    if (done)
        AddLog(port::Utf8ToCp932((wanted ? "Autostart: wrote " : "Autostart: removed ") + svc_.autostartFile), 0);
    else
        AddLog(port::Utf8ToCp932("Autostart: " + error), 255);
}

void TMainForm::CopySettingsFromDialog()
{
    const pendar::TSettingModel& d = settingDialog_;
    for (int i = 0; i < kScheduleCount; ++i) {
        TSchedule& s = settings_.schedules[i];
        s.name = d.schNames[i];
        s.time = d.schTimes[i];
        // A schedule without a minute runs all day: one already running
        // today must not be announced again.
        s.notified = s.time.minute == -1;
    }
    settings_.profiles = d.profiles;
    if (d.mailConfig.interval != settings_.interval)
        mailCountdown_ = d.mailConfig.interval;
    settings_.interval = d.mailConfig.interval;
    settings_.sameCheck = d.mailConfig.sameCheck;
    ntpRetryCountdown_ = 0;
    settings_.timeEnable = d.time.timeEnable;
    settings_.ntpServer = d.time.ntpServer;
    settings_.ntpTime = d.ReadTimeSyncPattern();
    settings_.active = d.general.active;
    settings_.emphasis = d.general.emphasis;
    settings_.stayOnTop = d.general.stayOnTop;
    settings_.taskbar = d.general.taskbar;
    settings_.waveFlag = d.general.waveFlag;
    settings_.randomWav = d.general.randomWav;
}

void TMainForm::SettingClick()
{
    if (!dialogs_)
        return;
    CopySettingsToDialog();
    bool ok = false;
    {
        pendar::TBusyScope modal(modal_, [this](bool locked) { LockMenu(locked); });
        ok = dialogs_->ShowSettings();
    }
    if (!ok || !settingDialog_.Modified())
        return;
    CopySettingsFromDialog();
    ApplyAutostart(settingDialog_.general.autostart);
    SaveSettings();
    ApplyTaskbarMode();
    PlaceWindow(true);
    ApplyZOrder();
    if (settings_.schEnable)
        CheckSchedules();
}
