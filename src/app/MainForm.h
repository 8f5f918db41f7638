// The main window's logic: start-up, the 200 ms tick, the pop-up menu and
// closing. It owns all application state. The Qt view (MainWindow) forwards
// its events here; tests drive it with a fake clock and recording services.
#pragma once

#include "app/MailClient.h"
#include "app/MainFormServices.h"
#include "app/Settings.h"
#include "app/SkinInfo.h"
#include "app/SysMenu.h"
#include "base/LogSink.h"
#include "base/SchTime.h"
#include "platform/WindowTracker.h"
#include "port/Clock.h"
#include "port/MessageBoxes.h"
#include "port/Rect.h"
#include "port/ThreadPriority.h"
#include "sntp/NMSNTP.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TMainForm {
public:
    struct Services {
        port::IClock& clock;
        port::IClockSetter& clockSetter;
        port::IMessageBoxes& messageBoxes;
        pendar::IMainView& view;
        pendar::IMessageStore& messages;
        pendar::ITrayIcon& tray;
        pendar::IWindowTracker& tracker;
        pendar::IRandomSource& random;
        port::IThreadPriority& priority;
        ILogSink& log;
        std::string settingsFile; // full path of Pendar.ini
    };

    static constexpr int kTickMs = 200;
    static constexpr int kFlashTicks = 300; // 60 s of flashing
    static constexpr const char* kAppTitle = "SorelPendar";
    static constexpr const char* kVersion = "1.22";
    static constexpr const char* kVersionSuffix = "";
    static constexpr const char* kIconNormal = "SMALLICON";
    static constexpr const char* kIconFlash = "SMALLFLASH";

    explicit TMainForm(Services services);
    virtual ~TMainForm() = default;
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // Life of the window, in the order the view calls them.
    void FormCreate();
    void FormShow();
    void StartupWork(); // the first idle moment
    bool FormCloseQuery();
    void FormDestroy();
    void FormActivate();

    // The tick.
    void CheckTimerTimer();

    // Menu commands and tray events.
    void SysMinClick();
    void SysRestoreClick();
    void MIScheduleSwClick();
    void MIMailSwClick();
    void MIMailCheckClick();
    void MITimeSyncClick();
    void SysAboutClick();
    void SysHelpClick();
    void SysCloseClick();
    void PNotifyIconClick();
    void MainImageDblClick(); // shows the calendar

    // The log and calendar windows, created after the main window.
    void SetDialogWindows(pendar::IDialogWindows* windows) { dialogs_ = windows; }

    // What escaped an event handler: logged, never shown.
    void ApplicationException(std::string_view className, std::string_view message);

    bool LoadSettings();
    bool SaveSettings();
    void AddLog(std::string_view text, int colour);

    // State the tests and the view read.
    TAppSettings& Settings() { return settings_; }
    TSkinInfo& SkinInfo() { return skin_; }
    pendar::TSysMenu& SysMenu() { return menu_; }
    const TSchTime& CurrentTime() const { return currentTime_; }
    bool Closing() const { return closing_; }
    bool Modal() const { return modal_; }
    void SetModal(bool modal) { modal_ = modal; }
    int FlashCount() const { return flashCount_; }
    void SetFlashCount(int ticks) { flashCount_ = ticks; }
    int MailCountdown() const { return mailCountdown_; }
    void SetMailCountdown(int minutes) { mailCountdown_ = minutes; }
    int NtpRetryCountdown() const { return ntpRetryCountdown_; }
    void SetNtpRetryCountdown(int minutes) { ntpRetryCountdown_ = minutes; }
    bool TrayAdded() const { return trayAdded_; }
    pendar::WindowId TrackedWindow() const { return trackedWindow_; }
    const port::TRect& TrackedRect() const { return trackedRect_; }
    bool MailBusy() const { return mailBusy_; }
    // Whether the main window is topmost (the skin's ONTOP or StayOnTop);
    // the dialogs take the same state when they are activated.
    bool StaysOnTop() const { return skin_.onTop == 1 || settings_.stayOnTop; }

protected:
    // Steps that later parts of the application fill in. Each has exactly one
    // job and is called from the places the main window's life prescribes.
    virtual void CreateClients();              // POP3 and SNTP clients
    virtual void CreatePictureBuffers() {}     // the 31 pixel buffers
    virtual void FreePictureBuffers() {}
    virtual bool OpenSkin(const std::string& name);
    virtual bool LoadPlainSkin();
    virtual void ReleasePictures() {}
    virtual void ReleaseBalloon() {}
    virtual void ClosePack() {}
    virtual void UpdateClock(const TSchTime& now);
    virtual void RefreshCalendar();
    virtual void CheckSchedules();
    virtual void CheckTimeSync();
    virtual bool SyncTime();
    virtual void CheckMail(bool manual);
    virtual void AbortMailCheck();
    virtual bool AnimationRunning() const { return false; }
    virtual void StepAnimation() {}
    virtual void IdleAction() {}
    virtual void PlaySkinWave(const std::string& name);
    virtual void ApplyTaskbarMode() {}
    // The ALIGN value after ApplyTaskbarMode (window-relative values above 4).
    virtual int EffectiveAlign() const { return skin_.align; }
    virtual void PlaceWindow(bool show);
    virtual void ApplyZOrder() {}
    virtual void BringToFront() {}
    virtual void SettingClick() {}
    virtual void SysSelectClick() {}
    virtual void MILogClick();
    virtual void MICalenderClick();

    Services svc_;
    TAppSettings settings_;
    TSkinInfo skin_;
    pendar::TSysMenu menu_;
    pendar::IDialogWindows* dialogs_ = nullptr;

    bool closing_ = false;
    bool tickGuard_ = false;
    bool modal_ = false;
    bool trayAdded_ = false;
    bool firstShow_ = true;
    bool mailBusy_ = false;
    int flashCount_ = 0;
    std::string trayIcon_; // the icon last given to the tray
    int idleCountdown_ = 0;
    int mailCountdown_ = 0;
    int ntpRetryCountdown_ = 0;
    TSchTime currentTime_;
    pendar::WindowId trackedWindow_ = 0;
    port::TRect trackedRect_;
    int dragX_ = -1; // drag origin
    int dragY_ = -1;

    // The clients; either is null when it could not be made.
    std::unique_ptr<pendar::IMailClient> mailClient_;
    std::unique_ptr<TNMSNTP> sntp_;
    // The running mail check: its totals and the texts it will show.
    int64_t mailNewMessages_ = 0;
    int64_t mailNewBytes_ = 0;
    std::vector<std::string> mailResults_;

private:
    // After news the user must not miss: the tray flashes, `wave` plays and,
    // with Active on, the window comes to the front.
    void Announce(const std::string& wave);
    bool ReadMailbox(int profile);
    void QueueMailMessage(std::string text);
    void FlushMailMessages();
    void ReportMailError(const TMailProfile& profile, const char* logPrefix, const char* what);
    void CreateMenu();
    void TrackForeground();
    void PlaceIfWindowRelative();
    void StepTrayFlash();
};
