// The pop-up menu SysMenu and its commands.
#include "app/MainForm.h"

#include "base/Sjis.h"

void TMainForm::CreateMenu()
{
    using pendar::MenuEntry;
    auto entry = [this](const char* name, const char* caption, void (TMainForm::*command)()) {
        MenuEntry e;
        e.name = name;
        e.caption = Sjis(caption);
        if (command)
            e.onClick = [this, command] { (this->*command)(); };
        return e;
    };
    auto separator = [](const char* name) {
        MenuEntry e;
        e.name = name;
        e.caption = "-";
        e.enabled = false;
        return e;
    };
    auto withShortcut = [](MenuEntry e, const char* text, int code) {
        e.shortcut = text;
        e.shortcutCode = code;
        return e;
    };
    auto checkable = [](MenuEntry e) {
        e.checkable = true;
        e.checked = true;
        return e;
    };

    menu_.Append(entry("MISysMin", "最小化(&N)", &TMainForm::SysMinClick));
    MenuEntry restore = entry("MISysRestore", "元のｻｲｽﾞに戻す(&R)", &TMainForm::SysRestoreClick);
    restore.enabled = false;
    menu_.Append(restore);
    menu_.Append(separator("MIBar1"));
    menu_.Append(checkable(entry("MIScheduleSw", "スケジュール有効", &TMainForm::MIScheduleSwClick)));
    menu_.Append(checkable(entry("MIMailSw", "メールチェック有効", &TMainForm::MIMailSwClick)));
    menu_.Append(separator("MIBar2"));
    menu_.Append(withShortcut(entry("MIMailCheck", "メールチェック(&C)", &TMainForm::MIMailCheckClick), "Ctrl+C",
                              16451));
    menu_.Append(entry("MITimeSync", "時刻合わせ(&T)", &TMainForm::MITimeSyncClick));
    menu_.Append(withShortcut(entry("MISetting", "設定(&S)", &TMainForm::SettingClick), "Ctrl+S", 16467));
    menu_.Append(entry("MISysSelect", "キャラクター変更", &TMainForm::SysSelectClick));
    menu_.Append(separator("MIBar3"));
    menu_.Append(entry("MILog", "ログ表示", &TMainForm::MILogClick));
    menu_.Append(entry("MICalender", "カレンダー", &TMainForm::MICalenderClick));
    menu_.Append(entry("MISysAbout", "ﾊﾞｰｼﾞｮﾝ情報(&V)", &TMainForm::SysAboutClick));
    menu_.Append(entry("MISysHelp", "ﾍﾙﾌﾟ(&H)", &TMainForm::SysHelpClick));
    menu_.Append(separator("MIBar4"));
    MenuEntry close = withShortcut(entry("MISysClose", "閉じる(&X)", &TMainForm::SysCloseClick), "Alt+F4", 32883);
    close.isDefault = true;
    menu_.Append(close);
}

void TMainForm::SysMinClick()
{
    flashCount_ = 0;
    // Hidden only when the tray icon can bring it back; otherwise its
    // task-bar entry must.
    if (trayAdded_)
        svc_.view.Hide();
    else
        svc_.view.Minimize();
    WindowStateChanged(false);
}

void TMainForm::SysRestoreClick()
{
    flashCount_ = 0;
    svc_.view.Show();
    BringToFront();
    WindowStateChanged(true);
}

void TMainForm::WindowStateChanged(bool shown)
{
    menu_.SetEnabled("MISysMin", shown);
    menu_.SetEnabled("MISysRestore", !shown);
}

void TMainForm::MIScheduleSwClick()
{
    bool on = !menu_.Entry("MIScheduleSw").checked;
    menu_.SetChecked("MIScheduleSw", on);
    settings_.schEnable = on;
}

void TMainForm::MIMailSwClick()
{
    bool on = !menu_.Entry("MIMailSw").checked;
    menu_.SetChecked("MIMailSw", on);
    settings_.mailEnable = on;
}

void TMainForm::MIMailCheckClick()
{
    CheckMail(true);
}

void TMainForm::MITimeSyncClick()
{
    SyncTime(true);
}

void TMainForm::SysAboutClick()
{
    // Each line fits the balloon's 20 bytes, so no word is broken.
    std::string text = std::string(kAppTitle) + "\n  Ver " + kVersion + kVersionSuffix +
                       Sjis("\n  デスクトップの\n  マスコット時計");
    svc_.messages.FlushMessage();
    svc_.messages.AddMessage(text);
    svc_.messages.CommitMessage(false);
    AddLog("Version " + text, 0);
}

void TMainForm::SysHelpClick()
{
    svc_.view.OpenHelp();
}

void TMainForm::SysCloseClick()
{
    flashCount_ = 0;
    svc_.view.ReleaseMouseCapture();
    svc_.view.RequestClose();
}

void TMainForm::PNotifyIconClick()
{
    flashCount_ = 0;
    if (!svc_.view.IsVisible())
        SysRestoreClick();
    else if (svc_.view.IsApplicationActive())
        SysMinClick();
    else
        BringToFront();
}
