// The minute check of the 100 schedules.
#include "app/MainForm.h"

#include "app/ScheduleText.h"

namespace {

// Day-long patterns say "today is ..."; the others "it is time for ...".
bool IsAllDay(const TSchTime& pattern)
{
    return pattern.hour < 0 && pattern.minute < 0;
}

} // namespace

void TMainForm::CheckSchedules()
{
    bool announced = false;
    bool save = false;
    for (TSchedule& s : settings_.schedules) {
        if (IsEmptyTime(s.time))
            continue;
        if (CompareTime(currentTime_, s.time) != 0) {
            s.notified = false;
            continue;
        }
        if (s.notified)
            continue;
        const std::string& tmpl = IsAllDay(s.time) ? skin_.dateMes : skin_.timeMes;
        if (!announced)
            svc_.messages.FlushMessage();
        svc_.messages.AddMessage(ExpandSchName(tmpl, s.name));
        AddLog("Schdule " + s.name, 0);
        if (s.time.once) {
            s.name.clear();
            ClearTime(s.time);
            save = true;
        }
        announced = true;
        s.notified = true;
    }
    if (announced) {
        svc_.messages.CommitMessage(false);
        Announce(skin_.schWav);
    }
    if (save)
        SaveSettings();
}
