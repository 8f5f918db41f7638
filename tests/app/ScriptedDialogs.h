// Dialog windows whose modal shows run a script instead of waiting for a
// user, and record the main window's state while they are shown.
#pragma once

#include "app/MainForm.h"

#include <functional>
#include <string>
#include <vector>

namespace pendar::test {

class ScriptedDialogs final : public IDialogWindows {
public:
    explicit ScriptedDialogs(TMainForm& form) : form_(form) {}

    void ShowLog() override {}
    void ShowCalendar() override {}
    void RefreshCalendar() override {}

    // The settings dialog: FormShow, the script, FormHide; `ok` answers.
    bool ShowSettings() override
    {
        Record();
        TSettingModel& m = form_.SettingDialog();
        m.FormShow();
        if (settingsScript)
            settingsScript(m);
        m.FormHide();
        return ok;
    }
    void ShowCharSelect(const std::vector<std::string>& shown,
                        const std::function<void(const std::string&)>& select) override
    {
        Record();
        names = shown;
        for (const std::string& name : choices)
            select(name);
    }

    std::function<void(TSettingModel&)> settingsScript;
    bool ok = true;
    std::vector<std::string> choices; // applied in turn while shown
    std::vector<std::string> names;
    // While shown: the modal flag and whether MIMailCheck, MISetting,
    // MISysClose were enabled.
    std::vector<std::vector<bool>> states;

private:
    void Record()
    {
        const TSysMenu& menu = form_.SysMenu();
        states.push_back({form_.Modal(), menu.Entry("MIMailCheck").enabled, menu.Entry("MISetting").enabled,
                          menu.Entry("MISysClose").enabled});
    }

    TMainForm& form_;
};

} // namespace pendar::test
