// Pendar.ini: reading and writing the settings (base/AppSettings.h) by the
// key table (SettingsKeys.h), and the codecs of its values.
#pragma once

#include "base/AppSettings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr const char* kSettingsVersion = "1.22";

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
