#include "app/Settings.h"

#include "app/MailTlsSettings.h"
#include "base/Zotext.h"
#include "port/AppFolder.h"
#include "port/IniFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

TAppSettings::TAppSettings()
{
    ntpTime.weekday = 0;
    ntpTime.hour = 4;
    // Profiles start empty (port 110, APOP off): a fresh install lists none.
    // "Profile00" and "UserID" are only what a file missing those keys gives.
}

std::string ProfileKey(const char* prefix, int index)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%02d", prefix, index);
    return buf;
}

std::string ScheduleKey(const char* prefix, int index)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%03d", prefix, index);
    return buf;
}

int ParseVersion(std::string_view text)
{
    size_t dot = text.find('.');
    if (dot == std::string_view::npos || dot == 0)
        return 0;
    int major = 0;
    int minor = 0;
    std::string front = DivideFront(text, static_cast<int>(dot));
    std::string rear = DivideRear(text, static_cast<int>(dot) + 2);
    if (!TIniFile::ParseInteger(front, &major) || !TIniFile::ParseInteger(rear, &minor))
        return 0;
    // Any pair of ints gives a number: out-of-range versions saturate.
    const int64_t version = int64_t{major} * 100 + minor;
    return static_cast<int>(std::clamp<int64_t>(version, INT_MIN, INT_MAX));
}

int HexToBytes(std::string_view text, uint8_t* buffer, int max)
{
    int count = std::min(static_cast<int>(std::min<size_t>(text.size() / 2, 1u << 30)), max);
    for (int i = 0; i < count; ++i)
        buffer[i] = static_cast<uint8_t>(HexToInt(text.substr(static_cast<size_t>(2 * i), 2)));
    return count < 0 ? 0 : count;
}

std::string BytesToHex(const uint8_t* bytes, int count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(static_cast<size_t>(count) * 2);
    for (int i = 0; i < count; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0x0F];
    }
    return out;
}

std::vector<uint8_t> ScramblePassword(std::string_view password)
{
    size_t n = password.size();
    if (n == 0)
        return {};
    auto s = [&](size_t i) { return static_cast<uint8_t>(password[i]); };
    std::vector<uint8_t> out(n + 2);
    uint8_t b = s(n - 1);
    out[0] = b;
    for (size_t i = 1; i <= n; ++i) {
        uint8_t a = static_cast<uint8_t>(b + s(i - 1));
        out[i] = static_cast<uint8_t>(((b & 0x0F) << 4) | (a >> 4));
        b = a;
    }
    out[n + 1] = static_cast<uint8_t>(((b & 0x0F) << 4) | (static_cast<uint8_t>(b + s(0)) >> 4));
    return out;
}

std::string UnscramblePassword(const uint8_t* e, int count)
{
    if (count < 3)
        return {};
    std::string out;
    uint8_t c = e[0];
    for (int j = 1; j <= count - 2; ++j) {
        uint8_t a = static_cast<uint8_t>(((e[j] & 0x0F) << 4) | (e[j + 1] >> 4));
        out += static_cast<char>(static_cast<uint8_t>(a - c));
        c = a;
    }
    return out;
}

namespace {

// Decodes a stored time pattern; false unless exactly eight bytes come out.
bool DecodeTime(std::string_view hex, TSchTime& t)
{
    uint8_t bytes[8];
    if (HexToBytes(hex, bytes, 8) != 8)
        return false;
    std::memcpy(&t, bytes, 8);
    return true;
}

std::string EncodeTime(const TSchTime& t)
{
    uint8_t bytes[8];
    std::memcpy(bytes, &t, 8);
    return BytesToHex(bytes, 8);
}

constexpr const char* kConfig = "Config";
constexpr const char* kTime = "Time";
constexpr const char* kMail = "Mail";
constexpr const char* kSchedule = "Schedule";

} // namespace

SettingsRead ReadSettingsFile(const std::string& path, TAppSettings& s, std::string* reason)
{
    TIniFile ini(path);
    switch (ini.LastLoad()) {
    case TIniFile::LoadState::Missing:
        return SettingsRead::Missing;
    case TIniFile::LoadState::Unreadable:
        if (reason)
            *reason = ini.LoadError();
        return SettingsRead::Unreadable;
    case TIniFile::LoadState::Loaded:
        break;
    }

    if (ParseVersion(ini.ReadString(kConfig, "Version", "0.00")) > 119) {
        s.skinName = ini.ReadString(kConfig, "SkinName", "Sorel");
        s.offsetX = std::clamp(ini.ReadInteger(kConfig, "OffsetX", 10000), kOffsetMin, kOffsetMax);
        s.offsetY = std::clamp(ini.ReadInteger(kConfig, "OffsetY", 10000), kOffsetMin, kOffsetMax);
        s.stayOnTop = ini.ReadBool(kConfig, "StayOnTop", s.stayOnTop);
        s.taskbar = ini.ReadBool(kConfig, "Taskbar", s.taskbar);
        s.active = ini.ReadBool(kConfig, "Active", s.active);
        s.waveFlag = ini.ReadBool(kConfig, "WaveFlag", s.waveFlag);
        s.randomWav = ini.ReadBool(kConfig, "RandomWav", s.randomWav);
        s.emphasis = ini.ReadBool(kConfig, "Emphasis", s.emphasis);
        s.schEnable = ini.ReadBool(kConfig, "SchEnable", s.schEnable);
        s.mailEnable = ini.ReadBool(kConfig, "MailEnable", s.mailEnable);
        s.timeEnable = ini.ReadBool(kTime, "TimeEnable", s.timeEnable);
        s.ntpServer = ini.ReadString(kTime, "NTPServer", s.ntpServer);
        if (!DecodeTime(ini.ReadString(kTime, "NTPTime", ""), s.ntpTime))
            ClearTime(s.ntpTime); // no valid pattern: scheduled synchronisation is off
    }

    for (int i = 0; i < kMailProfileCount; ++i) {
        TMailProfile& p = s.profiles[static_cast<size_t>(i)];
        p.name = ini.ReadString(kMail, ProfileKey("Profile", i), ProfileKey("Profile", i));
        p.host = ini.ReadString(kMail, ProfileKey("Host", i), "");
        p.port = ini.ReadInteger(kMail, ProfileKey("Port", i), 110);
        if (p.port < 0 || p.port > 65535)
            p.port = 110;
        p.user = ini.ReadString(kMail, ProfileKey("UserID", i), "UserID");
        uint8_t buf[256];
        int n = HexToBytes(ini.ReadString(kMail, ProfileKey("Password", i), ""), buf, 256);
        p.password = n == 0 ? std::string() : UnscramblePassword(buf, n);
        p.apop = ini.ReadBool(kMail, ProfileKey("APOP", i), false);
    }
    pendar::ReadMailTls(ini, s.profiles);
    s.interval = ini.ReadInteger(kMail, "Interval", s.interval);
    s.sameCheck = ini.ReadBool(kMail, "SameCheck", s.sameCheck);

    for (int i = 0; i < kScheduleCount; ++i) {
        TSchedule& sch = s.schedules[static_cast<size_t>(i)];
        std::string nameKey = ScheduleKey("SchName", i);
        if (!ini.ValueExists(kSchedule, nameKey)) {
            sch.name.clear();
            ClearTime(sch.time);
            continue;
        }
        sch.name = ini.ReadString(kSchedule, nameKey, "");
        if (!DecodeTime(ini.ReadString(kSchedule, ScheduleKey("SchTime", i), ""), sch.time)) {
            sch.name.clear();
            ClearTime(sch.time);
        }
    }
    if (s.interval < 1)
        s.interval = 1;
    return SettingsRead::Read;
}

bool LoadSettingsFile(const std::string& path, TAppSettings& s)
{
    return ReadSettingsFile(path, s, nullptr) == SettingsRead::Read;
}

SettingsWrite WriteSettingsFile(const std::string& path, const TAppSettings& s, std::string* error)
{
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0)
        port::MakeFolders(path.substr(0, slash));

    TIniFile ini(path);
    ini.WriteString(kConfig, "Version", kSettingsVersion);
    ini.WriteString(kConfig, "SkinName", s.skinName);
    ini.WriteInteger(kConfig, "OffsetX", s.offsetX);
    ini.WriteInteger(kConfig, "OffsetY", s.offsetY);
    ini.WriteBool(kConfig, "StayOnTop", s.stayOnTop);
    ini.WriteBool(kConfig, "Taskbar", s.taskbar);
    ini.WriteBool(kConfig, "Active", s.active);
    ini.WriteBool(kConfig, "Emphasis", s.emphasis);
    ini.WriteBool(kConfig, "WaveFlag", s.waveFlag);
    ini.WriteBool(kConfig, "RandomWav", s.randomWav);
    ini.WriteBool(kConfig, "SchEnable", s.schEnable);
    ini.WriteBool(kConfig, "MailEnable", s.mailEnable);
    ini.WriteBool(kTime, "TimeEnable", s.timeEnable);
    ini.WriteString(kTime, "NTPServer", s.ntpServer);
    ini.WriteString(kTime, "NTPTime", EncodeTime(s.ntpTime));

    for (int i = 0; i < kMailProfileCount; ++i) {
        const TMailProfile& p = s.profiles[static_cast<size_t>(i)];
        ini.WriteString(kMail, ProfileKey("Profile", i), p.name);
        ini.WriteString(kMail, ProfileKey("Host", i), p.host);
        ini.WriteInteger(kMail, ProfileKey("Port", i), p.port);
        ini.WriteString(kMail, ProfileKey("UserID", i), p.user);
        std::vector<uint8_t> scrambled = ScramblePassword(p.password);
        ini.WriteString(kMail, ProfileKey("Password", i),
                        BytesToHex(scrambled.data(), static_cast<int>(scrambled.size())));
        ini.WriteBool(kMail, ProfileKey("APOP", i), p.apop);
    }
    ini.WriteInteger(kMail, "Interval", s.interval);
    ini.WriteBool(kMail, "SameCheck", s.sameCheck);

    for (int i = 0; i < kScheduleCount; ++i) {
        const TSchedule& sch = s.schedules[static_cast<size_t>(i)];
        std::string nameKey = ScheduleKey("SchName", i);
        std::string timeKey = ScheduleKey("SchTime", i);
        if (IsEmptyTime(sch.time)) {
            ini.DeleteKey(kSchedule, nameKey);
            ini.DeleteKey(kSchedule, timeKey);
        } else {
            ini.WriteString(kSchedule, nameKey, sch.name);
            ini.WriteString(kSchedule, timeKey, EncodeTime(sch.time));
        }
    }
    pendar::WriteMailTls(ini, s.profiles); // after the original sections
    bool refused = false;
    if (ini.UpdateFile(error, &refused))
        return SettingsWrite::Written;
    return refused ? SettingsWrite::Refused : SettingsWrite::Failed;
}

bool SaveSettingsFile(const std::string& path, const TAppSettings& s, std::string* error)
{
    return WriteSettingsFile(path, s, error) == SettingsWrite::Written;
}
