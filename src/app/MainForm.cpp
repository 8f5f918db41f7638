// Construction, start-up and closing of the main window.
#include "app/MainForm.h"

#include "app/ExceptionGuard.h"
#include "app/LoggedSettingsRead.h"
#include "base/Sjis.h"
#include "port/Cp932.h"

TMainForm::TMainForm(Services services) : svc_(std::move(services))
{
    currentTime_ = NowTime(svc_.clock);
    zoWave_.SetSyncMode(smASync);
    CreateMenu();
    pendar::IMailCheckHost& host = *this;
    if (svc_.makeMailCheck)
        mail_ = svc_.makeMailCheck(host);
    else
        mail_ = std::make_unique<pendar::TMailCheck>(host, svc_.messages, svc_.log);
}

void TMainForm::FormCreate()
{
    CreateClients();
    CreatePictureBuffers();
    svc_.view.ScheduleStartupWork();
    LoadSettings();
    if (!OpenSkin(settings_.skinName) && !LoadPlainSkin()) {
        closing_ = true;
        svc_.view.RequestClose();
    }
    svc_.view.SetHints(skin_.name);
    svc_.view.SetCaption(kAppTitle);
    mailCountdown_ = settings_.interval;
    if (closing_)
        return;
    trayAdded_ = svc_.tray.Add(kAppTitle, kIconNormal);
    trayRequested_ = true;
    trayIcon_ = kIconNormal;
    svc_.view.StartTick();
    idleCountdown_ = 0;
}

void TMainForm::FormShow()
{
    if (!firstShow_)
        return;
    // With a tray icon the window needs no task-bar entry; without one it
    // keeps it, or a hidden window could never be brought back.
    svc_.view.SetTaskbarEntry(!trayAdded_);
    ApplyZOrder(); // topmost from the start, not only once activated
    PlaceWindow(false);
    firstShow_ = false;
}

void TMainForm::StartupWork()
{
    if (closing_)
        return;
    svc_.priority.Lower();
    svc_.random.Seed(static_cast<uint64_t>(svc_.clock.UnixNanos()));
    Greet();
    if (settings_.schEnable)
        CheckSchedules();
}

bool TMainForm::FormCloseQuery()
{
    closing_ = true;
    svc_.view.StopTick();
    if (mail_->Busy())
        mail_->Abort();
    svc_.priority.Restore();
    return true;
}

void TMainForm::FormDestroy()
{
    svc_.view.StopTick();
    SaveSettings();
    ReleaseSkin();
    skins_.ClosePack();
    if (trayRequested_) {
        svc_.tray.Delete();
        trayRequested_ = false;
        trayAdded_ = false;
    }
    FreePictureBuffers();
}

void TMainForm::FormActivate()
{
    ApplyZOrder();
}

void TMainForm::ApplicationException(std::string_view className, std::string_view message)
{
    pendar::LogException(svc_.log, className, message);
}

void TMainForm::Announce(const std::string& wave)
{
    flashCount_ = kFlashTicks;
    if (settings_.waveFlag && !wave.empty())
        PlaySkinWave(wave);
    if (settings_.active) {
        if (!svc_.view.IsVisible())
            SysRestoreClick();
        BringToFront();
    }
}

void TMainForm::AddLog(std::string_view text, int colour)
{
    svc_.log.AddLog(text, colour);
}

bool TMainForm::LoadSettings()
{
    std::string reason;
    SettingsRead read = ReadSettingsLogged(svc_.settingsFile, settings_, svc_.log, &reason);
    if (read == SettingsRead::Unreadable)
        settingsUnreadable_ = reason;
    if (read == SettingsRead::Read) {
        settingsUnreadable_.clear();
        menu_.SetChecked("MIScheduleSw", settings_.schEnable);
        menu_.SetChecked("MIMailSw", settings_.mailEnable);
    }
    return read == SettingsRead::Read;
}

bool TMainForm::SaveSettings()
{
    if (!settingsUnreadable_.empty()) {
        AddLog(port::Utf8ToCp932("Settings: not saved, " + svc_.settingsFile + " could not be read at start"), 255);
        return false;
    }
    std::string error;
    switch (WriteSettingsFile(svc_.settingsFile, settings_, &error)) {
    case SettingsWrite::Written:
        return true;
    case SettingsWrite::Refused:
        AddLog(port::Utf8ToCp932("Settings: not saved, " + error), 255);
        return false;
    case SettingsWrite::Failed:
        break;
    }
    ApplicationException("EInOutError", port::Utf8ToCp932(error));
    return false;
}
