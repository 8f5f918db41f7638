#include "app/SysMenu.h"

#include <stdexcept>

namespace pendar {

MenuEntry& TSysMenu::Find(std::string_view name)
{
    for (MenuEntry& e : entries_)
        if (e.name == name)
            return e;
    throw std::logic_error("no menu entry " + std::string(name));
}

const MenuEntry& TSysMenu::Entry(std::string_view name) const
{
    return const_cast<TSysMenu*>(this)->Find(name);
}

void TSysMenu::SetEnabled(std::string_view name, bool enabled)
{
    MenuEntry& e = Find(name);
    if (e.enabled == enabled)
        return;
    e.enabled = enabled;
    if (onChanged)
        onChanged(e);
}

void TSysMenu::SetChecked(std::string_view name, bool checked)
{
    MenuEntry& e = Find(name);
    if (e.checked == checked)
        return;
    e.checked = checked;
    if (onChanged)
        onChanged(e);
}

void TSysMenu::Click(std::string_view name)
{
    MenuEntry& e = Find(name);
    if (e.enabled && e.onClick)
        e.onClick();
}

} // namespace pendar
