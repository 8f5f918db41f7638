#include "dialogs/SettingModel.h"

#include "base/Sjis.h"
#include "port/MessageBoxes.h"

#include <utility>

namespace pendar {

namespace {

constexpr const char* kNoTitle = "No Title";

int FieldOf(const TSchTime& t, int field)
{
    switch (field) {
    case sfYear:
        return t.year;
    case sfMonth:
        return t.month;
    case sfDay:
        return t.day;
    case sfWeek:
        return t.weekday;
    case sfHour:
        return t.hour;
    default:
        return t.minute;
    }
}

// The time the editors say: a field whose box is off is any, and so is a
// weekday box that is on with no item chosen.
TSchTime TimeOf(const TScheduleEditors& e)
{
    auto given = [&e](int field) { return e.checked[field] && e.values[field] >= 0 ? e.values[field] : -1; };
    TSchTime t;
    t.year = static_cast<int16_t>(given(sfYear));
    t.month = static_cast<int8_t>(given(sfMonth));
    t.day = static_cast<int8_t>(given(sfDay));
    t.weekday = static_cast<int8_t>(given(sfWeek));
    t.hour = static_cast<int8_t>(given(sfHour));
    t.minute = static_cast<int8_t>(given(sfMinute));
    t.once = e.once ? 1 : 0;
    return t;
}

// Editor values the up-down controls can hold; the weekday may also be
// "no item chosen".
void ClampEditors(TScheduleEditors& e)
{
    for (int f = 0; f < kSchFields; ++f)
        if (f != sfWeek || e.values[f] != -1)
            e.values[f] = kSchFieldRanges[f].Clamp(e.values[f]);
}

TProfileEditors EditorsOf(const TMailProfile& p)
{
    return {p.name, p.host, kPortRange.Clamp(p.port), p.user, p.password, p.apop, p.tls, p.caFile};
}

int PortFollowingTls(TMailTls was, TMailTls now, int port)
{
    if (now == was)
        return port;
    if (now == TMailTls::Implicit && port == kPop3Port)
        return kPop3sPort;
    if (was == TMailTls::Implicit && port == kPop3sPort)
        return kPop3Port;
    return port;
}

TTimePage ClampedTime(TTimePage page)
{
    page.week = kSchFieldRanges[sfWeek].Clamp(page.week);
    page.hour = kSchFieldRanges[sfHour].Clamp(page.hour);
    page.minute = kSchFieldRanges[sfMinute].Clamp(page.minute);
    return page;
}

// Moves the entries for which `keep` holds to the front in their order and
// clears the rest; returns how many were kept.
template <typename Table, typename Keep, typename Clear>
int Compact(Table& table, Keep keep, Clear clear)
{
    int kept = 0;
    for (int i = 0; i < static_cast<int>(table.size()); ++i) {
        if (!keep(i))
            continue;
        if (i != kept)
            table.Move(i, kept);
        ++kept;
    }
    for (int i = kept; i < static_cast<int>(table.size()); ++i)
        clear(i);
    return kept;
}

} // namespace

TSettingModel::TSettingModel(const port::IClock& clock, port::IMessageBoxes& boxes) : clock_(clock), boxes_(boxes)
{
    for (TSchTime& t : schTimes)
        ClearTime(t);
}

void TSettingModel::Refresh(unsigned parts)
{
    if (!view_)
        return;
    // Filling the editors raises their change events; those must not write
    // back into the tables.
    const bool schedule = fillingSchedule_;
    const bool profile = fillingProfile_;
    fillingSchedule_ = schedule || (parts & spScheduleEditors);
    fillingProfile_ = profile || (parts & spProfileEditors);
    view_->Refresh(parts);
    fillingSchedule_ = schedule;
    fillingProfile_ = profile;
}

void TSettingModel::CompactSchedules()
{
    struct {
        TSettingModel& m;
        size_t size() const { return kSchedules; }
        void Move(int from, int to)
        {
            m.schNames[to] = std::move(m.schNames[from]);
            m.schTimes[to] = m.schTimes[from];
        }
    } table{*this};
    int kept = Compact(
        table, [this](int i) { return !schNames[i].empty() || !IsEmptyTime(schTimes[i]); },
        [this](int i) {
            schNames[i].clear();
            ClearTime(schTimes[i]);
        });
    schedules_.items.assign(schNames.begin(), schNames.begin() + kept);
}

void TSettingModel::CompactProfiles()
{
    struct {
        TSettingModel& m;
        size_t size() const { return kProfiles; }
        void Move(int from, int to) { m.profiles[to] = std::move(m.profiles[from]); }
    } table{*this};
    int kept = Compact(
        table, [this](int i) { return !profiles[i].IsBlank(); }, [this](int i) { profiles[i] = TMailProfile{}; });
    profileList_.items.clear();
    for (int i = 0; i < kept; ++i)
        profileList_.items.push_back(profiles[i].name);
}

void TSettingModel::FormShow()
{
    CompactSchedules();
    ClearScheduleSelection();
    CompactProfiles();
    ClearProfileSelection();
    mailConfig.interval = kIntervalRange.Clamp(mailConfig.interval);
    time = ClampedTime(time);
    Refresh(spAll);
    modified_ = false;
}

void TSettingModel::FormHide()
{
    std::vector<std::string> schedules = schedules_.items;
    std::vector<std::string> profileNames = profileList_.items;
    CompactSchedules();
    CompactProfiles();
    schedules_.items = std::move(schedules);
    profileList_.items = std::move(profileNames);
}

void TSettingModel::ShowTimeSyncPattern(const TSchTime& pattern)
{
    auto inRange = [](int v, int field) {
        const TRange& r = kSchFieldRanges[field];
        return v >= r.min && v <= r.max;
    };
    time.weekOn = inRange(pattern.weekday, sfWeek);
    time.week = time.weekOn ? pattern.weekday : 0;
    time.hourOn = inRange(pattern.hour, sfHour);
    time.hour = time.hourOn ? pattern.hour : 4;
    time.minuteOn = inRange(pattern.minute, sfMinute);
    time.minute = time.minuteOn ? pattern.minute : 0;
    Refresh(spTime);
}

TSchTime TSettingModel::ReadTimeSyncPattern() const
{
    TSchTime t;
    t.weekday = static_cast<int8_t>(time.weekOn ? time.week : -1);
    t.hour = static_cast<int8_t>(time.hourOn ? time.hour : -1);
    t.minute = static_cast<int8_t>(time.minuteOn ? time.minute : -1);
    return t;
}

// --- Page "予定" -------------------------------------------------------

bool TSettingModel::SchFieldEnabled(int field) const
{
    return schedules_.editing && field >= 0 && field < kSchFields && schEditors_.checked[field];
}

void TSettingModel::ShowScheduleEditors(const std::string& name, const TSchTime& t)
{
    schEditors_.name = name;
    for (int f = 0; f < kSchFields; ++f) {
        const int v = FieldOf(t, f);
        schEditors_.checked[f] = v != -1;
        if (v != -1) // an editor keeps its value when its field is any
            schEditors_.values[f] = v;
    }
    schEditors_.once = t.once != 0;
    ClampEditors(schEditors_);
}

void TSettingModel::ClearScheduleSelection()
{
    schedules_.Unselect(kSchedules);
    ShowScheduleEditors("", NowTime(clock_));
}

void TSettingModel::SelectSchedule(int index)
{
    schedules_.Select(index, kSchedules);
    ShowScheduleEditors(schNames[index], schTimes[index]);
    Refresh(spScheduleList | spScheduleEditors);
}

void TSettingModel::StoreScheduleTime()
{
    schTimes[schedules_.index] = TimeOf(schEditors_);
    modified_ = true;
    Refresh(spScheduleEditors);
}

void TSettingModel::ScheduleListBoxClick(int index)
{
    if (!schedules_.Has(index))
        return;
    SelectSchedule(index);
}

void TSettingModel::SchNameEditChange(const std::string& text)
{
    if (fillingSchedule_ || !schedules_.Selected())
        return;
    schEditors_.name = text;
    schNames[schedules_.index] = text.empty() ? kNoTitle : text;
    schedules_.items[schedules_.index] = schNames[schedules_.index];
    modified_ = true;
    Refresh(spScheduleList);
}

void TSettingModel::SchTimeChange(const TScheduleEditors& editors)
{
    if (fillingSchedule_ || !schedules_.Selected())
        return;
    std::string name = std::move(schEditors_.name); // the name has its own event
    schEditors_ = editors;
    schEditors_.name = std::move(name);
    ClampEditors(schEditors_);
    StoreScheduleTime();
}

void TSettingModel::ScheduleLimitMessage() const
{
    boxes_.Show(Sjis("予定は１００個までです。"), Sjis("エラー"), port::MessageButtons::Ok,
                port::MessageIcon::Exclamation);
}

void TSettingModel::SchNewButtonClick()
{
    const int count = static_cast<int>(schedules_.items.size());
    if (count >= kSchedules) {
        ScheduleLimitMessage();
        return;
    }
    const std::string name = Sjis("新規");
    schedules_.items.push_back(name);
    schNames[count] = name;
    schTimes[count] = NowTime(clock_);
    SelectSchedule(count);
    // Today's date, any weekday, hour and minute.
    schEditors_.checked[sfWeek] = false;
    schEditors_.checked[sfHour] = false;
    schEditors_.checked[sfMinute] = false;
    StoreScheduleTime();
}

void TSettingModel::SchCopyButtonClick()
{
    if (!schedules_.Selected())
        return;
    const int count = static_cast<int>(schedules_.items.size());
    if (count >= kSchedules) {
        ScheduleLimitMessage();
        return;
    }
    schNames[count] = schNames[schedules_.index];
    schTimes[count] = schTimes[schedules_.index];
    schedules_.items.push_back(schNames[count]);
    SelectSchedule(count);
    modified_ = true;
}

void TSettingModel::SchDelButtonClick()
{
    if (!schedules_.Selected())
        return;
    schedules_.items.erase(schedules_.items.begin() + schedules_.index);
    for (int i = schedules_.index; i + 1 < kSchedules; ++i) {
        schNames[i] = std::move(schNames[i + 1]);
        schTimes[i] = schTimes[i + 1];
    }
    schNames[kSchedules - 1].clear();
    ClearTime(schTimes[kSchedules - 1]);
    ClearScheduleSelection();
    modified_ = true;
    Refresh(spScheduleList | spScheduleEditors);
}

void TSettingModel::NowButtonClick()
{
    if (!schedules_.Selected())
        return;
    schTimes[schedules_.index] = NowTime(clock_);
    ShowScheduleEditors(schEditors_.name, schTimes[schedules_.index]);
    modified_ = true;
    Refresh(spScheduleEditors);
}

void TSettingModel::ApplyPreset(bool year, bool month, bool day, bool week, bool hour, bool minute)
{
    if (!schedules_.Selected())
        return;
    schEditors_.checked = {year, month, day, week, hour, minute};
    StoreScheduleTime();
}

void TSettingModel::EveryDayButtonClick()
{
    ApplyPreset(false, false, false, false, true, true);
}

void TSettingModel::EveryWeekButtonClick()
{
    ApplyPreset(false, false, false, true, true, true);
}

void TSettingModel::EveryMonthButtonClick()
{
    ApplyPreset(false, false, true, false, false, false);
}

void TSettingModel::EveryYearButtonClick()
{
    ApplyPreset(false, true, true, false, false, false);
}

// --- Page "メール" ------------------------------------------------------

void TSettingModel::ClearProfileSelection()
{
    profileList_.Unselect(kProfiles);
    profileEditors_ = TProfileEditors{};
}

void TSettingModel::SelectProfile(int index)
{
    profileList_.Select(index, kProfiles);
    profileEditors_ = EditorsOf(profiles[index]);
    modified_ = true;
    Refresh(spProfileList | spProfileEditors);
}

void TSettingModel::ProfileListBoxClick(int index)
{
    if (!profileList_.Has(index))
        return;
    SelectProfile(index);
}

void TSettingModel::ProfileEditChange(const std::string& text)
{
    if (fillingProfile_ || !profileList_.Selected())
        return;
    profileEditors_.name = text;
    profiles[profileList_.index].name = text.empty() ? kNoTitle : text;
    profileList_.items[profileList_.index] = profiles[profileList_.index].name;
    modified_ = true;
    Refresh(spProfileList);
}

void TSettingModel::ProfileFieldsChange(const TProfileEditors& editors)
{
    if (fillingProfile_ || !profileList_.Selected())
        return;
    std::string name = std::move(profileEditors_.name); // the name has its own event
    const TMailTls was = profileEditors_.tls;
    profileEditors_ = editors;
    profileEditors_.name = std::move(name);
    profileEditors_.port = kPortRange.Clamp(profileEditors_.port);
    // SSL/TLS has a standard port of its own; a port the user typed stays.
    const int followed = PortFollowingTls(was, profileEditors_.tls, profileEditors_.port);
    const bool portMoved = followed != profileEditors_.port;
    profileEditors_.port = followed;
    TMailProfile& p = profiles[profileList_.index];
    p.host = profileEditors_.host;
    p.port = profileEditors_.port;
    p.user = profileEditors_.user;
    p.password = profileEditors_.password;
    p.apop = profileEditors_.apop;
    p.tls = profileEditors_.tls;
    p.caFile = profileEditors_.caFile;
    modified_ = true;
    if (portMoved || profileEditors_.tls != was)
        Refresh(spProfileEditors);
}

void TSettingModel::ProfileLimitMessage() const
{
    boxes_.Show(Sjis("設定は１０個までです。"), Sjis("エラー"), port::MessageButtons::Ok,
                port::MessageIcon::Exclamation);
}

void TSettingModel::MailNewButtonClick()
{
    const int count = static_cast<int>(profileList_.items.size());
    if (count >= kProfiles) {
        ProfileLimitMessage();
        return;
    }
    profiles[count] = TMailProfile{};
    profiles[count].name = Sjis("新規");
    profileList_.items.push_back(profiles[count].name);
    SelectProfile(count);
}

void TSettingModel::MailCopyButtonClick()
{
    if (!profileList_.Selected())
        return;
    const int count = static_cast<int>(profileList_.items.size());
    if (count >= kProfiles) {
        ProfileLimitMessage();
        return;
    }
    TMailProfile copy = profiles[profileList_.index];
    copy.seen.clear(); // the copy has seen nothing yet
    profiles[count] = std::move(copy);
    profileList_.items.push_back(profiles[count].name);
    SelectProfile(count);
}

void TSettingModel::MailDelButtonClick()
{
    if (!profileList_.Selected())
        return;
    profileList_.items.erase(profileList_.items.begin() + profileList_.index);
    for (int i = profileList_.index; i + 1 < kProfiles; ++i)
        profiles[i] = std::move(profiles[i + 1]);
    profiles[kProfiles - 1] = TMailProfile{};
    ClearProfileSelection();
    modified_ = true;
    Refresh(spProfileList | spProfileEditors);
}

void TSettingModel::MailConfigChange(const TMailConfig& config)
{
    mailConfig = config;
    mailConfig.interval = kIntervalRange.Clamp(mailConfig.interval);
    modified_ = true;
}

// --- Pages "時刻" and "一般" ----------------------------------------------

void TSettingModel::TimeChange(const TTimePage& page)
{
    time = ClampedTime(page);
    modified_ = true;
    Refresh(spTime);
}

void TSettingModel::GeneralChange(const TGeneralPage& page)
{
    general = page;
    modified_ = true;
    Refresh(spGeneral);
}

} // namespace pendar
