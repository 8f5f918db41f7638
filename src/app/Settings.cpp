#include "app/Settings.h"

#include "app/MailTlsSettings.h"
#include "app/SettingsKeys.h"
#include "base/Zotext.h"
#include "port/AppFolder.h"
#include "port/IniFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <variant>

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

using K = TSettingKind;

// Reads one key of `key`'s kind into `r` under the name `name`; false when a
// Time key holds no time (it is then cleared).
template <typename Record>
bool ReadKey(const TIniFile& ini, const TSettingKey<Record>& key, const std::string& name, Record& r,
             const Record& defaults)
{
    const char* section = key.section->name;
    // The value a missing or unreadable key gives.
    auto fallback = [&](auto member) { return key.missing == TMissing::Keep ? r.*member : defaults.*member; };
    switch (key.kind) {
    case K::Text: {
        auto member = std::get<std::string Record::*>(key.member);
        r.*member = ini.ReadString(section, name, fallback(member));
        return true;
    }
    case K::Integer: {
        auto member = std::get<int Record::*>(key.member);
        int value = ini.ReadInteger(section, name, fallback(member));
        if (value < key.range.min || value > key.range.max)
            value = key.range.clamp ? std::clamp(value, key.range.min, key.range.max) : fallback(member);
        r.*member = value;
        return true;
    }
    case K::Bool: {
        auto member = std::get<bool Record::*>(key.member);
        r.*member = ini.ReadBool(section, name, fallback(member));
        return true;
    }
    case K::Time: {
        TSchTime& t = r.*std::get<TSchTime Record::*>(key.member);
        if (DecodeTime(ini.ReadString(section, name, ""), t))
            return true;
        ClearTime(t);
        return false;
    }
    case K::Password: {
        uint8_t buf[256];
        int n = HexToBytes(ini.ReadString(section, name, ""), buf, 256);
        r.*std::get<std::string Record::*>(key.member) = n == 0 ? std::string() : UnscramblePassword(buf, n);
        return true;
    }
    case K::Version:
    case K::Profiles:
    case K::Schedules:
    case K::MailTls:
        break; // Version and the groups: the file's walkers (below)
    }
    return true;
}

template <typename Record>
void ResetKey(const TSettingKey<Record>& key, Record& r, const Record& defaults)
{
    std::visit(
        [&](auto member) {
            if constexpr (!std::is_same_v<decltype(member), std::monostate>)
                r.*member = defaults.*member;
        },
        key.member);
}

template <typename Record>
void WriteKey(TIniFile& ini, const TSettingKey<Record>& key, const std::string& name, const Record& r)
{
    const char* section = key.section->name;
    switch (key.kind) {
    case K::Version:
        ini.WriteString(section, name, kSettingsVersion);
        break;
    case K::Text:
        ini.WriteString(section, name, r.*std::get<std::string Record::*>(key.member));
        break;
    case K::Integer:
        ini.WriteInteger(section, name, r.*std::get<int Record::*>(key.member));
        break;
    case K::Bool:
        ini.WriteBool(section, name, r.*std::get<bool Record::*>(key.member));
        break;
    case K::Time:
        ini.WriteString(section, name, EncodeTime(r.*std::get<TSchTime Record::*>(key.member)));
        break;
    case K::Password: {
        std::vector<uint8_t> scrambled = ScramblePassword(r.*std::get<std::string Record::*>(key.member));
        ini.WriteString(section, name, BytesToHex(scrambled.data(), static_cast<int>(scrambled.size())));
        break;
    }
    case K::Profiles:
    case K::Schedules:
    case K::MailTls:
        break; // Version and the groups: the file's walkers (below)
    }
}

void ReadProfiles(const TIniFile& ini, TAppSettings& s)
{
    for (int i = 0; i < kMailProfileCount; ++i) {
        const TMailProfile missing = MissingProfile(i);
        for (const auto& key : ProfileKeys())
            ReadKey(ini, key, ProfileKey(key.name, i), s.profiles[static_cast<size_t>(i)], missing);
    }
}

void WriteProfiles(TIniFile& ini, const TAppSettings& s)
{
    for (int i = 0; i < kMailProfileCount; ++i)
        for (const auto& key : ProfileKeys())
            WriteKey(ini, key, ProfileKey(key.name, i), s.profiles[static_cast<size_t>(i)]);
}

// A schedule is there when its first key is and every key reads; otherwise
// its slot is free.
void ReadSchedules(const TIniFile& ini, TAppSettings& s)
{
    const TSchedule free;
    const auto& keys = ScheduleKeys();
    for (int i = 0; i < kScheduleCount; ++i) {
        TSchedule& sch = s.schedules[static_cast<size_t>(i)];
        bool there = ini.ValueExists(keys.front().section->name, ScheduleKey(keys.front().name, i));
        for (const auto& key : keys)
            there = there && ReadKey(ini, key, ScheduleKey(key.name, i), sch, free);
        if (!there)
            for (const auto& key : keys)
                ResetKey(key, sch, free);
    }
}

// A free slot (empty time) has no keys.
void WriteSchedules(TIniFile& ini, const TAppSettings& s)
{
    for (int i = 0; i < kScheduleCount; ++i) {
        const TSchedule& sch = s.schedules[static_cast<size_t>(i)];
        for (const auto& key : ScheduleKeys()) {
            if (IsEmptyTime(sch.time))
                ini.DeleteKey(key.section->name, ScheduleKey(key.name, i));
            else
                WriteKey(ini, key, ScheduleKey(key.name, i), sch);
        }
    }
}

void ReadTls(const TIniFile& ini, TAppSettings& s)
{
    pendar::ReadMailTls(ini, s.profiles);
}

void WriteTls(TIniFile& ini, const TAppSettings& s)
{
    pendar::WriteMailTls(ini, s.profiles);
}

// The rows that stand for a group of keys, with its reader and writer.
struct TSettingGroup {
    TSettingKind kind;
    void (*read)(const TIniFile&, TAppSettings&);
    void (*write)(TIniFile&, const TAppSettings&);
};

constexpr TSettingGroup kGroups[] = {
    {K::Profiles, ReadProfiles, WriteProfiles},
    {K::Schedules, ReadSchedules, WriteSchedules},
    {K::MailTls, ReadTls, WriteTls},
};

const TSettingGroup* GroupOf(TSettingKind kind)
{
    for (const TSettingGroup& group : kGroups)
        if (group.kind == kind)
            return &group;
    return nullptr;
}

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

    const TAppSettings defaults;
    bool versionedRead = false; // until Version says 1.20 or later
    for (const auto& key : SettingsKeys()) {
        if (key.kind == K::Version)
            versionedRead = ParseVersion(ini.ReadString(key.section->name, key.name, "0.00")) > 119;
        else if (key.section->versioned && !versionedRead)
            continue;
        else if (const TSettingGroup* group = GroupOf(key.kind))
            group->read(ini, s);
        else
            ReadKey(ini, key, key.name, s, defaults);
    }
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
    for (const auto& key : SettingsKeys()) {
        if (const TSettingGroup* group = GroupOf(key.kind))
            group->write(ini, s);
        else
            WriteKey(ini, key, key.name, s);
    }
    bool refused = false;
    if (ini.UpdateFile(error, &refused))
        return SettingsWrite::Written;
    return refused ? SettingsWrite::Refused : SettingsWrite::Failed;
}

bool SaveSettingsFile(const std::string& path, const TAppSettings& s, std::string* error)
{
    return WriteSettingsFile(path, s, error) == SettingsWrite::Written;
}
