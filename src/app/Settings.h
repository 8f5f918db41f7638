// The user's settings as Pendar.ini holds them, and the codecs of its values.
#pragma once

#include "base/MailTls.h"
#include "base/SchTime.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int kMailProfileCount = 10;
constexpr int kScheduleCount = 100;
constexpr const char* kSettingsVersion = "1.22";
// A public NTP pool host; users set their own in the settings dialog.
constexpr const char* kDefaultNtpServer = "pool.ntp.org";

struct TMailProfile {
    std::string name;     // replaces $HOST$ in mail messages
    std::string host;
    int port = 110;
    std::string user;
    std::string password; // plain; scrambled only in the file
    bool apop = false;
    std::vector<std::string> seen; // unique ids already announced (not stored)
    // Stored in a section of their own (MailTlsSettings.h).
    pendar::TMailTls tls = pendar::TMailTls::None;
    std::string caFile = {}; // CA certificates trusted besides the system's; "" for none
};

struct TSchedule {
    std::string name;   // at most 40 bytes (the dialog's limit)
    TSchTime time;      // empty (IsEmptyTime): the slot is free
    bool notified = false;
};

// Every value the settings file holds, with the main window's start values.
struct TAppSettings {
    TAppSettings();

    std::string skinName = "Sorel";
    int offsetX = 10000; // position along the free range, 1/10000 units
    int offsetY = 10000;
    bool stayOnTop = false;
    bool taskbar = false;
    bool active = true;
    bool emphasis = false;
    bool waveFlag = true;
    bool randomWav = true;
    bool schEnable = true;
    bool mailEnable = true;

    bool timeEnable = false;
    std::string ntpServer = kDefaultNtpServer;
    TSchTime ntpTime; // default: Sundays at 4 o'clock

    std::array<TMailProfile, kMailProfileCount> profiles;
    int interval = 5; // minutes between automatic mail checks
    bool sameCheck = true;

    std::array<TSchedule, kScheduleCount> schedules;
};

// Offsets read from the file are kept within one free range beyond either
// edge, so a hand-edited value cannot overflow the placement arithmetic or
// park the window where it can never be reached.
constexpr int kOffsetMin = -10000;
constexpr int kOffsetMax = 20000;

enum class SettingsRead { Read, Missing, Unreadable };
enum class SettingsWrite { Written, Refused, Failed };

// Reads `path` into `s`. Missing or Unreadable (with `reason`): s unchanged.
SettingsRead ReadSettingsFile(const std::string& path, TAppSettings& s, std::string* reason);
// True when the file was there and read.
bool LoadSettingsFile(const std::string& path, TAppSettings& s);
// Writes every key into `path`, keeping whatever else the file holds, through
// a temporary file renamed over the old one. Refused (with `error` saying
// why) when the file is there but unreadable, read-only, another user's or
// behind another user's symbolic link: it is then left as it is. Failed with
// `error` when writing failed.
SettingsWrite WriteSettingsFile(const std::string& path, const TAppSettings& s, std::string* error);
// True when the file was written.
bool SaveSettingsFile(const std::string& path, const TAppSettings& s, std::string* error);

// "1.22" -> 122; "1.2" -> 102; 0 when malformed.
int ParseVersion(std::string_view text);
// Two hex digits per byte, at most `max` bytes; returns the count decoded.
int HexToBytes(std::string_view text, uint8_t* buffer, int max);
std::string BytesToHex(const uint8_t* bytes, int count);
std::vector<uint8_t> ScramblePassword(std::string_view password);
std::string UnscramblePassword(const uint8_t* bytes, int count);

// Key names ("Profile03", "SchTime042").
std::string ProfileKey(const char* prefix, int index);
std::string ScheduleKey(const char* prefix, int index);
