// The settings dialog's editing model: the tables the main window copies in
// and out, the state of every control, and every event handler. It works on
// copies only and never touches the settings file. The Qt dialog
// (SettingDialog) shows this state and forwards its controls' events; tests
// drive the model without a window. Texts are code page 932.
#pragma once

#include "base/AppSettings.h"
#include "base/MailTls.h"
#include "base/SchTime.h"

#include <array>
#include <string>
#include <vector>

namespace port {
class IClock;
class IMessageBoxes;
} // namespace port

namespace pendar {

// The fields of a schedule time in the order of their check boxes.
enum TSchField { sfYear, sfMonth, sfDay, sfWeek, sfHour, sfMinute };
constexpr int kSchFields = 6;

// The schedule editors: SchNameEdit, the six check boxes with their editors
// (the weekday editor is WeekComboBox's index, -1 when no item is chosen)
// and OnceCheckBox.
struct TScheduleEditors {
    std::string name;
    std::array<bool, kSchFields> checked{};
    std::array<int, kSchFields> values{1999, 1, 1, 0, 0, 0};
    bool once = false;
};

// ProfileEdit, ServerEdit, PortUpDown, AccountEdit, PasswordEdit, APOPCheck,
// TlsComboBox (暗号化) and CaFileEdit.
struct TProfileEditors {
    std::string name;
    std::string host;
    int port = 110;
    std::string user;
    std::string password;
    bool apop = false;
    TMailTls tls = TMailTls::None;
    std::string caFile = {};
};

// Page "一般": the six check boxes.
struct TGeneralPage {
    bool active = true;
    bool emphasis = false;
    bool stayOnTop = false;
    bool taskbar = false;
    bool waveFlag = true;
    bool randomWav = true;
    bool autostart = false; // ログイン時に起動する: the autostart entry is there
};

// Page "メール", group "共通設定".
struct TMailConfig {
    int interval = 5; // CheckTimerEdit, 1-999
    bool sameCheck = true;
};

// Page "時刻".
struct TTimePage {
    bool timeEnable = false;
    std::string ntpServer;
    bool weekOn = false; // TimeWCheckBox
    int week = 0;        // TimeWComboBox
    bool hourOn = false;
    int hour = 4;
    bool minuteOn = false;
    int minute = 0;
};

// Ranges of the up-down controls.
struct TRange {
    int min;
    int max;
    int Clamp(int v) const { return v < min ? min : v > max ? max : v; }
};
constexpr std::array<TRange, kSchFields> kSchFieldRanges{{{1999, 9999}, {1, 12}, {1, 31}, {0, 6}, {0, 23}, {0, 59}}};
constexpr TRange kIntervalRange{1, 999};
constexpr TRange kPortRange{0, 65535}; // every TCP port: Pendar.ini holds them all
constexpr int kScheduleNameMax = 40; // bytes
constexpr int kPasswordMax = 32;     // bytes

// What a change touched, for the view to show anew.
enum TSettingPart : unsigned {
    spScheduleList = 1u << 0,    // ScheduleListBox: items and selection
    spScheduleEditors = 1u << 1, // the schedule editors' values and enabling, the three buttons
    spProfileList = 1u << 2,
    spProfileEditors = 1u << 3,
    spGeneral = 1u << 4,
    spMailConfig = 1u << 5,
    spTime = 1u << 6,
    spAll = (1u << 7) - 1,
};

// A list box of names with its selection, whether its editors are enabled,
// and its buttons "新規" (New) and "コピー"/"削除" (Copy, Delete).
struct TNameList {
    std::vector<std::string> items;
    int index = -1;
    bool editing = false;
    bool newEnabled = true;
    bool copyDelEnabled = false;

    bool Selected() const { return index >= 0 && index < static_cast<int>(items.size()); }
    bool Has(int i) const { return i >= 0 && i < static_cast<int>(items.size()); }
    // Item `i` selected with its editors enabled; `limit` items at most.
    void Select(int i, size_t limit)
    {
        index = i;
        editing = true;
        newEnabled = items.size() < limit;
        copyDelEnabled = true;
    }
    void Unselect(size_t limit)
    {
        index = -1;
        editing = false;
        newEnabled = items.size() < limit;
        copyDelEnabled = false;
    }
};

class ISettingView {
public:
    virtual ~ISettingView() = default;
    virtual void Refresh(unsigned parts) = 0;
};

class TSettingModel {
public:
    static constexpr int kSchedules = kScheduleCount;
    static constexpr int kProfiles = kMailProfileCount;

    TSettingModel(const port::IClock& clock, port::IMessageBoxes& boxes);

    void SetView(ISettingView* view) { view_ = view; }

    // The members the main window fills before showing and reads after OK.
    std::array<std::string, kSchedules> schNames;
    std::array<TSchTime, kSchedules> schTimes;
    std::array<TMailProfile, kProfiles> profiles; // each moves with its seen list; a copy starts with none
    // The controls the main window sets and reads directly.
    TGeneralPage general;
    // Whether ログイン時に起動する is offered (the program knows where its
    // autostart entry goes).
    bool autostartOffered = false;
    TMailConfig mailConfig;
    TTimePage time;

    bool Modified() const { return modified_; }

    void FormShow();
    void FormHide();
    void ShowTimeSyncPattern(const TSchTime& pattern);
    TSchTime ReadTimeSyncPattern() const;

    // Page "予定".
    void ScheduleListBoxClick(int index);
    void SchNameEditChange(const std::string& text);
    // A time editor changed, or one of the six check boxes or OnceCheckBox
    // was clicked: the editors as they now are.
    void SchTimeChange(const TScheduleEditors& editors);
    void SchNewButtonClick();
    void SchCopyButtonClick();
    void SchDelButtonClick();
    void NowButtonClick();
    void EveryDayButtonClick();
    void EveryWeekButtonClick();
    void EveryMonthButtonClick();
    void EveryYearButtonClick();

    // Page "メール".
    void ProfileListBoxClick(int index);
    void ProfileEditChange(const std::string& text);
    // ServerEdit, PortEdit, AccountEdit, PasswordEdit, APOPCheck,
    // TlsComboBox or CaFileEdit changed. Choosing SSL/TLS moves port 110 to
    // 995, leaving it moves 995 back to 110; another port stays as typed.
    void ProfileFieldsChange(const TProfileEditors& editors);
    void MailNewButtonClick();
    void MailCopyButtonClick();
    void MailDelButtonClick();
    void MailConfigChange(const TMailConfig& config);

    // Pages "時刻" and "一般".
    void TimeChange(const TTimePage& page);
    void GeneralChange(const TGeneralPage& page);

    // The state the view shows.
    const std::vector<std::string>& ScheduleItems() const { return schedules_.items; }
    int ScheduleIndex() const { return schedules_.index; }
    const TScheduleEditors& ScheduleEditors() const { return schEditors_; }
    // The check boxes, OnceCheckBox, NowButton and the presets.
    bool ScheduleEditing() const { return schedules_.editing; }
    // A field's editor: editing, and its check box on.
    bool SchFieldEnabled(int field) const;
    bool SchNewEnabled() const { return schedules_.newEnabled; }
    bool SchCopyEnabled() const { return schedules_.copyDelEnabled; }
    bool SchDelEnabled() const { return schedules_.copyDelEnabled; }

    const std::vector<std::string>& ProfileItems() const { return profileList_.items; }
    int ProfileIndex() const { return profileList_.index; }
    const TProfileEditors& ProfileEditors() const { return profileEditors_; }
    bool ProfileEditing() const { return profileList_.editing; }
    // CaFileEdit and its browse button: editing a profile that uses TLS.
    bool CaFileEnabled() const { return profileList_.editing && profileEditors_.tls != TMailTls::None; }
    bool MailNewEnabled() const { return profileList_.newEnabled; }
    bool MailCopyEnabled() const { return profileList_.copyDelEnabled; }
    bool MailDelEnabled() const { return profileList_.copyDelEnabled; }

    bool RndEnabled() const { return general.waveFlag; }

    // The guards: set while the model itself fills the editors, so that the
    // change events the filling raises do not write back.
    bool FillingSchedule() const { return fillingSchedule_; }
    bool FillingProfile() const { return fillingProfile_; }

private:
    void CompactSchedules();
    void CompactProfiles();
    void ShowScheduleEditors(const std::string& name, const TSchTime& t);
    void SelectSchedule(int index);
    void StoreScheduleTime();
    void ApplyPreset(bool year, bool month, bool day, bool week, bool hour, bool minute);
    void ClearScheduleSelection();
    void ClearProfileSelection();
    void SelectProfile(int index);
    void ScheduleLimitMessage() const;
    void ProfileLimitMessage() const;
    void Refresh(unsigned parts);

    const port::IClock& clock_;
    port::IMessageBoxes& boxes_;
    ISettingView* view_ = nullptr;
    bool modified_ = false;
    bool fillingSchedule_ = false;
    bool fillingProfile_ = false;

    TNameList schedules_;
    TScheduleEditors schEditors_;
    TNameList profileList_;
    TProfileEditors profileEditors_;
};

} // namespace pendar
