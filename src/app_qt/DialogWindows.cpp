#include "app_qt/DialogWindows.h"

#include "app_qt/DesktopStates.h"

namespace pendar {

DialogWindows::DialogWindows(TLogModel& log, const port::IClock& clock, const QWidget& character,
                             TSettingModel& settings, StayOnTopQuery stayOnTop, XcbWindowTracker* desktop)
    : log_(log), clock_(clock), character_(character), settings_(settings), stayOnTop_(std::move(stayOnTop)),
      desktop_(desktop)
{
}

DialogWindows::~DialogWindows() = default;

void DialogWindows::Made(QWidget& window)
{
    if (desktop_)
        (new DesktopStates(window, *desktop_))->SetSkipTaskbar(true);
}

TLogForm& DialogWindows::LogForm()
{
    // The log keeps every line from the start; the window shows them all
    // when it is built.
    if (!logForm_) {
        logForm_ = std::make_unique<TLogForm>(log_, character_, stayOnTop_);
        Made(*logForm_);
    }
    return *logForm_;
}

TCalenderForm& DialogWindows::CalenderForm()
{
    if (!calenderForm_) {
        calenderForm_ = std::make_unique<TCalenderForm>(clock_, stayOnTop_);
        Made(*calenderForm_);
    }
    return *calenderForm_;
}

TSettingDialog& DialogWindows::SettingDialog()
{
    if (!settingDialog_) {
        settingDialog_ = std::make_unique<TSettingDialog>(settings_, stayOnTop_);
        Made(*settingDialog_);
    }
    return *settingDialog_;
}

TCharSelDialog& DialogWindows::CharSelDialog()
{
    if (!charSelDialog_) {
        charSelDialog_ = std::make_unique<TCharSelDialog>(stayOnTop_);
        Made(*charSelDialog_);
    }
    return *charSelDialog_;
}

int DialogWindows::Built() const
{
    return (logForm_ ? 1 : 0) + (calenderForm_ ? 1 : 0) + (settingDialog_ ? 1 : 0) + (charSelDialog_ ? 1 : 0);
}

void DialogWindows::SettleOnTop(QWidget& window)
{
    SetOnTop(window, stayOnTop_ && stayOnTop_());
}

void DialogWindows::ShowInFront(QWidget& window)
{
    SettleOnTop(window);
    // Minimised, it has no task-bar button to come back from.
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

void DialogWindows::ShowLog()
{
    ShowInFront(LogForm());
}

void DialogWindows::ShowCalendar()
{
    ShowInFront(CalenderForm());
}

void DialogWindows::RefreshCalendar()
{
    // A calendar not built yet opens on the day it is built.
    if (calenderForm_)
        calenderForm_->RefreshCalendar();
}

bool DialogWindows::ShowSettings()
{
    TSettingDialog& dialog = SettingDialog();
    SettleOnTop(dialog);
    return dialog.exec() == QDialog::Accepted;
}

void DialogWindows::ShowCharSelect(const std::vector<std::string>& names,
                                   const std::function<void(const std::string&)>& select)
{
    TCharSelDialog& dialog = CharSelDialog();
    dialog.SetNames(names);
    dialog.onSelect = select;
    SettleOnTop(dialog);
    dialog.exec();
    dialog.onSelect = nullptr;
}

} // namespace pendar
