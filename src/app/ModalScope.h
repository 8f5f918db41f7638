// While a modal dialog of the main window is shown: the modal flag set and,
// for the settings dialog, the entries that must not start inside it
// disabled. Everything is undone when the scope ends, also by an exception.
#pragma once

#include "app/SysMenu.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace pendar {

class TModalScope {
public:
    TModalScope(bool& modal, TSysMenu& menu, std::initializer_list<const char*> entries = {})
        : modal_(modal), menu_(menu), entries_(entries.begin(), entries.end())
    {
        for (const std::string& e : entries_)
            menu_.SetEnabled(e, false);
        modal_ = true;
    }
    ~TModalScope()
    {
        modal_ = false;
        for (const std::string& e : entries_)
            menu_.SetEnabled(e, true);
    }
    TModalScope(const TModalScope&) = delete;
    TModalScope& operator=(const TModalScope&) = delete;

private:
    bool& modal_;
    TSysMenu& menu_;
    std::vector<std::string> entries_;
};

} // namespace pendar
