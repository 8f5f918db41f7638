#include "app/SettingsKeys.h"

#include "app/MailTlsSettings.h"
#include "app/Settings.h"

namespace {

using K = TSettingKind;
using A = TAppSettings;
using P = TMailProfile;
using S = TSchedule;
constexpr TMissing kDefault = TMissing::Default;

constexpr TSettingSection kConfig{"Config", true};
constexpr TSettingSection kTime{"Time", true};
constexpr TSettingSection kMail{"Mail", false};
constexpr TSettingSection kSchedule{"Schedule", false};
constexpr TSettingSection kMailTls{pendar::kMailTlsSection, false};
constexpr const char* kProfileName = "Profile";

} // namespace

const std::vector<TSettingKey<TAppSettings>>& SettingsKeys()
{
    static const std::vector<TSettingKey<TAppSettings>> keys = {
        {&kConfig, "Version", K::Version, {}},
        {&kConfig, "SkinName", K::Text, &A::skinName, kDefault},
        {&kConfig, "OffsetX", K::Integer, &A::offsetX, kDefault, {kOffsetMin, kOffsetMax}},
        {&kConfig, "OffsetY", K::Integer, &A::offsetY, kDefault, {kOffsetMin, kOffsetMax}},
        {&kConfig, "StayOnTop", K::Bool, &A::stayOnTop},
        {&kConfig, "Taskbar", K::Bool, &A::taskbar},
        {&kConfig, "Active", K::Bool, &A::active},
        {&kConfig, "Emphasis", K::Bool, &A::emphasis},
        {&kConfig, "WaveFlag", K::Bool, &A::waveFlag},
        {&kConfig, "RandomWav", K::Bool, &A::randomWav},
        {&kConfig, "SchEnable", K::Bool, &A::schEnable},
        {&kConfig, "MailEnable", K::Bool, &A::mailEnable},
        {&kTime, "TimeEnable", K::Bool, &A::timeEnable},
        {&kTime, "NTPServer", K::Text, &A::ntpServer},
        {&kTime, "NTPTime", K::Time, &A::ntpTime}, // none that reads: scheduled synchronisation is off
        {&kMail, "", K::Profiles, {}},
        {&kMail, "Interval", K::Integer, &A::interval, TMissing::Keep, {1, INT_MAX}},
        {&kMail, "SameCheck", K::Bool, &A::sameCheck},
        {&kSchedule, "", K::Schedules, {}},
        {&kMailTls, "", K::MailTls, {}},
    };
    return keys;
}

const std::vector<TSettingKey<TMailProfile>>& ProfileKeys()
{
    static const std::vector<TSettingKey<TMailProfile>> keys = {
        {&kMail, kProfileName, K::Text, &P::name, kDefault},
        {&kMail, "Host", K::Text, &P::host, kDefault},
        {&kMail, "Port", K::Integer, &P::port, kDefault, {0, 65535, false}},
        {&kMail, "UserID", K::Text, &P::user, kDefault},
        {&kMail, "Password", K::Password, &P::password},
        {&kMail, "APOP", K::Bool, &P::apop, kDefault},
    };
    return keys;
}

const std::vector<TSettingKey<TSchedule>>& ScheduleKeys()
{
    static const std::vector<TSettingKey<TSchedule>> keys = {
        {&kSchedule, "SchName", K::Text, &S::name, kDefault},
        {&kSchedule, "SchTime", K::Time, &S::time},
    };
    return keys;
}

TMailProfile MissingProfile(int index)
{
    TMailProfile p;
    p.name = ProfileKey(kProfileName, index);
    p.user = "UserID";
    return p;
}
