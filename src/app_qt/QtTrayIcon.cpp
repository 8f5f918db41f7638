#include "app_qt/QtTrayIcon.h"

#include "app/ExceptionGuard.h"
#include "app/MainForm.h"
#include "app_qt/TrayIcons.h"
#include "platform/QtText.h"

namespace pendar {

void QtTrayIcon::Attach(TMainForm& form, QMenu* menu)
{
    icon_.Menu = menu;
    auto click = [&form] { Guarded(form, [&form] { form.PNotifyIconClick(); }); };
    icon_.OnClick = click;
    icon_.OnDblClick = click;
}

bool QtTrayIcon::Add(std::string_view tip, std::string_view icon)
{
    icon_.SetCaption(FromSjis(tip));
    icon_.SetIcon(TrayIconNamed(icon));
    return icon_.NIMAdd();
}

void QtTrayIcon::SetIcon(std::string_view icon)
{
    icon_.SetIcon(TrayIconNamed(icon));
}

void QtTrayIcon::Delete()
{
    icon_.NIMDelete();
}

bool QtTrayIcon::Shown() const
{
    return icon_.Embedded();
}

} // namespace pendar
