// The user's settings as the program holds them: the records the main window
// works on and the settings dialog edits (a copy, handed back after OK).
// Pendar.ini stores them (app/Settings.h, app/SettingsKeys.h).
#pragma once

#include "base/MailTls.h"
#include "base/SchTime.h"

#include <array>
#include <string>
#include <vector>

constexpr int kMailProfileCount = 10;
constexpr int kScheduleCount = 100;
// A public NTP pool host; users set their own in the settings dialog.
constexpr const char* kDefaultNtpServer = "pool.ntp.org";

struct TMailProfile {
    std::string name;     // replaces $HOST$ in mail messages
    std::string host;
    int port = pendar::kPop3Port;
    std::string user;
    std::string password; // plain; scrambled only in the file
    bool apop = false;
    std::vector<std::string> seen; // unique ids already announced (not stored); its size is the count
    // Stored in a section of their own (app/MailTlsSettings.h).
    pendar::TMailTls tls = pendar::TMailTls::None;
    std::string caFile = {}; // CA certificates trusted besides the system's; "" for none

    // Nothing typed: the settings dialog drops such a profile from its list.
    bool IsBlank() const { return name.empty() && host.empty() && user.empty() && password.empty(); }
};

struct TSchedule {
    std::string name;   // at most 40 bytes (the dialog's limit)
    TSchTime time;      // empty (IsEmptyTime): the slot is free
    bool notified = false;
};

// Every value the settings file holds, with the main window's start values.
struct TAppSettings {
    TAppSettings()
    {
        // Scheduled synchronisation: Sundays at 4 o'clock.
        ntpTime.weekday = 0;
        ntpTime.hour = 4;
        // Profiles start empty (port 110, APOP off): a fresh install lists
        // none. "Profile00" and "UserID" are only what a file missing those
        // keys gives.
    }

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
    TSchTime ntpTime;

    std::array<TMailProfile, kMailProfileCount> profiles;
    int interval = 5; // minutes between automatic mail checks
    bool sameCheck = true;

    std::array<TSchedule, kScheduleCount> schedules;
};
