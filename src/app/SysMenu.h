// The character's pop-up menu (also the tray icon's) as plain data: entries
// in order with caption, short-cut, state and command. The Qt view renders
// it and follows its changes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pendar {

struct MenuEntry {
    std::string name;     // "MISysMin"
    std::string caption;  // code page 932; "-" for a separator
    std::string shortcut; // "Ctrl+C", "" for none
    int shortcutCode = 0; // 0x4000 Ctrl, 0x8000 Alt, plus the virtual key
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
    bool isDefault = false;
    std::function<void()> onClick;

    bool IsSeparator() const { return caption == "-"; }
};

class TSysMenu {
public:
    void Append(MenuEntry entry) { entries_.push_back(std::move(entry)); }

    const std::vector<MenuEntry>& Entries() const { return entries_; }
    // The entry of that name; the name must exist.
    const MenuEntry& Entry(std::string_view name) const;

    void SetEnabled(std::string_view name, bool enabled);
    void SetChecked(std::string_view name, bool checked);
    // Runs the entry's command when it is enabled.
    void Click(std::string_view name);

    // Called after any state change, with the entry that changed.
    std::function<void(const MenuEntry&)> onChanged;

private:
    MenuEntry& Find(std::string_view name);
    std::vector<MenuEntry> entries_;
};

} // namespace pendar
