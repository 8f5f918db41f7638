// The main window's logic: start-up, the 200 ms tick, the pop-up menu and
// closing. It owns all application state. The Qt view (MainWindow) forwards
// its events here; tests drive it with a fake clock and recording services.
#pragma once

#include "app/ClockFace.h"
#include "app/MailCheck.h"
#include "app/MainFormServices.h"
#include "app/SkinLoader.h"
#include "app/Placement.h"
#include "app/Settings.h"
#include "app/SkinFiles.h"
#include "app/SkinInfo.h"
#include "app/SysMenu.h"
#include "audio/ZoWave.h"
#include "base/LogSink.h"
#include "base/SchTime.h"
#include "dialogs/SettingModel.h"
#include "pack/Zopack.h"
#include "platform/WindowTracker.h"
#include "port/Clock.h"
#include "port/MessageBoxes.h"
#include "port/Rect.h"
#include "port/ThreadPriority.h"
#include "raster/ZoRGBBits.h"
#include "raster/ZoRGBDib.h"
#include "sntp/NMSNTP.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TMainForm : private pendar::IMailCheckHost {
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
        // The folders skins are looked for in ("Data/"), in order.
        std::vector<std::string> skinFolders = {};
        // The XDG autostart entry that starts Pendar at log-in, and the
        // program it starts (absolute); without them ログイン時に起動する is
        // not offered.
        std::string autostartFile = {};
        std::string executable = {};
        // The mail check and the SNTP client the form makes; empty: the
        // real ones (tests hand over fakes).
        std::function<std::unique_ptr<pendar::IMailCheck>(pendar::IMailCheckHost&)> makeMailCheck = {};
        std::function<std::unique_ptr<TNMSNTP>()> makeSntp = {};
    };

    static constexpr int kTickMs = 200;
    static constexpr int kFlashTicks = 300; // 60 s of flashing
    static constexpr const char* kAppTitle = "SorelPendar";
    static constexpr const char* kVersion = "1.22";
    static constexpr const char* kVersionSuffix = "";
    static constexpr const char* kIconNormal = "SMALLICON";
    static constexpr const char* kIconFlash = "SMALLFLASH";

    explicit TMainForm(Services services);
    ~TMainForm() override = default;
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // Life of the window, in the order the view calls them.
    void FormCreate();
    void FormShow();
    void StartupWork(); // the first idle moment
    bool FormCloseQuery();
    void FormDestroy();
    void FormActivate();
    // The window was shown, hidden, minimised or restored, by Pendar or by
    // someone else (the task bar, the window manager): the menu follows.
    void WindowStateChanged(bool shown);

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
    void MainImageClick();    // the click animation
    // A mail check over the profiles (the tick's at its countdown, or the
    // menu's manual one).
    void CheckMail(bool manual);

    // The character's mouse (screen coordinates): a press, then moves that
    // drag the window once they are far enough from the press point. The
    // release answers whether it ended a drag (then it is no click).
    void MainImageMouseDown(bool left, int screenX, int screenY);
    void MainImageMouseMove(bool leftDown, int screenX, int screenY);
    bool MainImageMouseUp(bool left);
    // A press on the balloon turns its page, unless the press activated the
    // window from another one.
    void MesImageMouseDown(bool left);
    void SetActivationClick() { activationClick_ = true; }
    // Every move of the main window: the window's top-left corner wanted,
    // kept on the character's edge.
    void MoveConstrained(int left, int top);
    int WindowLeft() const { return windowLeft_; }
    int WindowTop() const { return windowTop_; }
    bool Dragging() const { return dragging_; }

    // The log and calendar windows, created after the main window.
    void SetDialogWindows(pendar::IDialogWindows* windows) { dialogs_ = windows; }

    // What escaped an event handler: logged, never shown.
    void ApplicationException(std::string_view className, std::string_view message);

    bool LoadSettings();
    bool SaveSettings();
    // The settings dialog's copies, filled and read by SettingClick.
    pendar::TSettingModel& SettingDialog() { return settingDialog_; }
    // Switches to the skin `name` (as listed by the character selection)
    // and greets with it; falls back to the plain skin.
    void ChangeSkin(const std::string& name);
    void AddLog(std::string_view text, int colour);

    // Opens the skin `name` from the skin folders and lays it out; false
    // after its message was shown (the caller falls back to the plain skin).
    virtual bool OpenSkin(const std::string& name);
    // A skin from a pack or folder outside the skin folders, opened as
    // OpenSkin opens one (pendar-tool); false after its message was shown.
    bool OpenSkinFrom(const pendar::TSkinSource& source);
    // The built-in plain skin, laid out.
    bool LoadPlainSkin();
    // Why the last skin failed to open, or a strip of it failed to decode
    // when its animation started (TSkinLoader::Failure).
    const std::string& SkinFailure() const { return skins_.Failure(); }
    // The skin's files and pictures.
    pendar::TSkinLoader& Skins() { return skins_; }

    // The balloon's drawing side, for the message store: the four lines
    // shown (italic and underlined for emphasis), the balloon made visible;
    // or the balloon hidden.
    void ShowBalloonLines(const std::array<std::string, 4>& lines, bool emphasis);
    void HideBalloon();
    // A new message is shown: in the strip layout the character talks.
    void StartTalking();

    // What the view draws: the face, and the two display buffers its
    // character and balloon images show.
    const pendar::TFace& Face() const { return face_; }
    TZoRGBDib& MainDib() { return mainDib_; }
    TZoRGBDib& MesDib() { return mesDib_; }
    // The character's pictures as loaded (slot 0..9), and the balloon's.
    const TZoRGBBits& Picture(int slot) const { return skins_.Picture(slot); }
    const TZoRGBBits& BalloonPicture() const { return skins_.Balloon(); }
    // The shape of the frame shown, relative to the character's corner.
    const std::optional<pendar::TRegion>& CharacterRegion() const { return characterRegion_; }
    bool PackOpened() const { return skins_.PackOpened(); }

    // State the tests and the view read.
    TAppSettings& Settings() { return settings_; }
    TSkinInfo& SkinInfo() { return skin_; }
    pendar::TSysMenu& SysMenu() { return menu_; }
    const TSchTime& CurrentTime() const { return currentTime_; }
    bool Closing() const override { return closing_; }
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
    bool MailBusy() const { return mail_->Busy(); }
    pendar::IMailCheck& MailCheck() { return *mail_; }
    // The voices' player (asynchronous, one-call path).
    const TZoWave& ZoWave() const { return zoWave_; }
    // Whether the main window is topmost (the skin's ONTOP or StayOnTop);
    // the dialogs take the same state when they are activated.
    bool StaysOnTop() const { return skin_.onTop == 1 || settings_.stayOnTop; }

protected:
    // Steps that later parts of the application fill in. Each has exactly one
    // job and is called from the places the main window's life prescribes.
    virtual void CreatePictureBuffers();       // the display buffers' first sizes
    virtual void FreePictureBuffers();
    virtual void UpdateClock(const TSchTime& now);
    virtual void RefreshCalendar();
    virtual void CheckSchedules();
    virtual void CheckTimeSync();
    // `byUser`: asked from the menu (the time service may then ask for
    // authorisation), not by the NTPTime pattern.
    virtual bool SyncTime(bool byUser);
    virtual bool AnimationRunning() const;
    virtual void StepAnimation();
    virtual void IdleAction();
    virtual void PlaySkinWave(const std::string& name);
    virtual void ApplyTaskbarMode();
    // The ALIGN value after ApplyTaskbarMode (window-relative values above 4).
    virtual int EffectiveAlign() const { return mappedAlign_; }
    virtual void PlaceWindow(bool show);
    virtual void ApplyZOrder();
    virtual void BringToFront();
    virtual void SettingClick();
    virtual void SysSelectClick();
    virtual void MILogClick();
    virtual void MICalenderClick();

    Services svc_;
    TAppSettings settings_;
    // Why Pendar.ini could not be read at start; while set, nothing is
    // saved over it during this run.
    std::string settingsUnreadable_;
    pendar::TSettingModel settingDialog_{svc_.clock, svc_.messageBoxes};
    TSkinInfo skin_;
    pendar::TSysMenu menu_;
    pendar::IDialogWindows* dialogs_ = nullptr;

    bool closing_ = false;
    bool tickGuard_ = false;
    bool modal_ = false;
    bool trayAdded_ = false;     // the icon is in a notification area
    bool trayRequested_ = false; // added, waiting for an area when none runs
    bool firstShow_ = true;
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
    // The placement (MainFormPlacement.cpp): the alignment PlaceWindow
    // used (its screen edge when no window is tracked), the window's
    // corner on the screen, and the drag.
    int placedAlign_ = alBottom;
    int windowLeft_ = 0;
    int windowTop_ = 0;
    bool pressed_ = false;
    bool dragging_ = false;
    int pressLeft_ = 0;
    int pressTop_ = 0;
    bool activationClick_ = false;
    pendar::TPlacementGeometry PlacementGeometry() const;
    void UpdateOffsets();

    // The SNTP client; null when it could not be made.
    std::unique_ptr<TNMSNTP> sntp_;

    // The character: its skin's files, pictures, clock face and balloon
    // picture (MainFormSkin.cpp, MainFormFace.cpp, MainFormAnimation.cpp,
    // MainFormBalloon.cpp).
    enum TAnimeMode { amPicture = 0, amAnime = 1, amClick = 2 };
    enum TBalloonSide { bsLeft = 0, bsRight = 1 };
    // Shows a skin failure's box and logs it with its reason; false.
    bool SkinFailed(const char* utf8Box);
    // Lets the skin's pictures and the shapes made of them go.
    void ReleaseSkin();
    void SetUpClockLabels();
    void LayoutPanels(int w, int h, int bw, int bh);
    // A frame: its bitmap (null when there is none) and its columns.
    struct TFrameBlock {
        TZoRGBBits* bitmap = nullptr;
        int x = 0;
        int width = 0;
    };
    TFrameBlock FrameOf(int mode, int index, int frame);
    void ShowFrame(int mode, int index, int frame);
    void UpdateFrameRegion(int mode, int index, int frame);
    void ApplyWindowRegion();
    void StartAnime(int n, int repeats);
    void StartClick(int n, int repeats);
    // StartAnime or StartClick by mode.
    void StartStrip(int mode, int n, int repeats);
    // The animation strips are checked when the skin opens and then let go;
    // a strip is decoded again when its animation starts and dropped when
    // it ends (MainFormAnimation.cpp). False when it no longer decodes to
    // the size it had.
    bool LoadStrip(int mode, int n);
    void DropStrip(int mode, int n);
    // Back to a picture after the last repeat (its strip let go).
    void EndAnimation();
    // The skin's first picture and the clock, once a skin is loaded or built.
    void ShowLoadedSkin();
    // The balloon picture loaded: its shapes, lines and drawing.
    void ShowBalloonPicture();
    void LayoutBalloon();
    void DrawBalloon(int side);
    void SetBalloonSide(int side);
    void FaceChanged(unsigned parts) { svc_.view.FaceChanged(parts); }

    pendar::TSkinLoader skins_;
    TZoRGBDib mainDib_;
    TZoRGBDib mesDib_;
    std::optional<pendar::TRegion> characterRegion_;
    std::optional<pendar::TRegion> balloonRegion_;
    std::optional<pendar::TRegion> balloonRegionMirrored_;
    std::array<int, 2> balloonLineLeft_{}; // the lines' left edge on the left and on the right
    int balloonSide_ = bsLeft;
    pendar::TFace face_;
    int mappedAlign_ = alBottom;
    int animeMode_ = amPicture;
    int animeIndex_ = 0;
    int animeFrame_ = 0;
    int animeDelay_ = 0;
    int animeRepeats_ = 0;
    TZoWave zoWave_; // the voices (MainFormVoices.cpp)

private:
    // The start message and voice of the skin just loaded.
    void Greet();
    void CopySettingsToDialog();
    void CopySettingsFromDialog();
    // Writes or removes the autostart entry as ログイン時に起動する says.
    void ApplyAutostart(bool wanted);
    // After news the user must not miss: the tray flashes, `wave` plays and,
    // with Active on, the window comes to the front.
    void Announce(const std::string& wave) override;
    // The rest of what the mail check asks of the window.
    bool Shown() const override;
    void PlayVoice(const std::string& wave) override { PlaySkinWave(wave); }
    void Restore() override { SysRestoreClick(); }
    void LockMenu(bool locked) override;
    // The POP3 and SNTP clients, once the application runs.
    void CreateClients();

    std::unique_ptr<pendar::IMailCheck> mail_;
    void CreateMenu();
    void TrackForeground();
    void PlaceIfWindowRelative();
    void StepTrayFlash();
    void FollowTrayHost();
};
