// The main window's tray icon: TZoNotifyIcon behind the logic's ITrayIcon.
// Its clicks go to TMainForm::PNotifyIconClick, its right click pops up the
// window's own menu.
#pragma once

#include "app/MainFormServices.h"
#include "platform_qt/ZoNotifyIcon.h"

class QMenu;
class TMainForm;

namespace pendar {

class QtTrayIcon final : public ITrayIcon {
public:
    // Binds the icon's clicks and menu (after the form and its view exist).
    void Attach(TMainForm& form, QMenu* menu);

    bool Add(std::string_view tip, std::string_view icon) override;
    void SetIcon(std::string_view icon) override;
    void Delete() override;
    bool Shown() const override;

    TZoNotifyIcon& NotifyIcon() { return icon_; }

private:
    TZoNotifyIcon icon_;
};

} // namespace pendar
