// The keys of Pendar.ini in the order the file holds them: one table that
// both the reader (ReadSettingsFile) and the writer (WriteSettingsFile)
// walk. A new setting is a member of its record (base/AppSettings.h), a row
// here, and its control in the settings dialog.
#pragma once

#include "base/AppSettings.h"

#include <climits>
#include <string>
#include <variant>
#include <vector>

struct TSettingSection {
    const char* name;
    // Read only from a file of version 1.20 or later (Config/Version), as
    // the original program did; an older file leaves these values as they
    // are.
    bool versioned;
};

enum class TSettingKind {
    Version,   // written as kSettingsVersion; read, it opens the versioned sections
    Text,      // as it stands (code page 932)
    Integer,   // decimal; a value outside the row's range, see TSettingRange
    Bool,      // "1" or "0"
    Time,      // a TSchTime's eight bytes in hex; anything else reads as a cleared time
    Password,  // scrambled, in hex; fewer than three bytes read as none
    Profiles,  // the mail profiles: ProfileKeys() for each, numbered 00 to 09
    Schedules, // the schedules: ScheduleKeys() for each, numbered 000 to 099;
               // a free one (empty time) has no keys, and one whose first key
               // is missing or whose time does not read is free
    MailTls,   // [MailTLS] after the original sections (MailTlsSettings.h)
};

// What a Text, Integer or Bool key gives when the file lacks it or its value
// is not one of its kind.
enum class TMissing {
    Keep,    // the value the record holds
    Default, // the default record's: TAppSettings{}, MissingProfile(i), TSchedule{}
};

// The values an Integer key takes; one read outside them is brought to the
// nearer end, or with `clamp` false replaced as a missing one.
struct TSettingRange {
    int min = INT_MIN;
    int max = INT_MAX;
    bool clamp = true;
};

template <typename Record>
struct TSettingKey {
    const TSettingSection* section;
    const char* name; // in a group (profile, schedule) the prefix of the numbered key
    TSettingKind kind;
    // None ({}) for Version and the groups. (No default here: gcc 12 fails
    // on one for a variant of member pointers in a template.)
    std::variant<std::monostate, std::string Record::*, int Record::*, bool Record::*, TSchTime Record::*> member;
    TMissing missing = TMissing::Keep;
    TSettingRange range = {};
};

// The whole file in write order; the groups' keys are in the two below.
const std::vector<TSettingKey<TAppSettings>>& SettingsKeys();
const std::vector<TSettingKey<TMailProfile>>& ProfileKeys();
const std::vector<TSettingKey<TSchedule>>& ScheduleKeys();

// What a file without profile `index`'s keys gives: named after its key
// ("Profile03"), user "UserID", port 110.
TMailProfile MissingProfile(int index);
