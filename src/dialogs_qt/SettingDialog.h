// The settings dialog: the Qt view of TSettingModel. Four pages ("一般",
// "予定", "メール", "時刻"), Cancel and OK; every control forwards its event
// to the model and shows the model's state. Created once, shown modally.
#pragma once

#include "dialogs/SettingModel.h"
#include "dialogs_qt/DialogView.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace pendar {

class TSjisEdit;

class TSettingDialog final : public QDialog, public ISettingView {
    Q_OBJECT
public:
    TSettingDialog(TSettingModel& model, StayOnTopQuery stayOnTop);
    ~TSettingDialog() override;

    TSettingModel& Model() { return model_; }
    void Refresh(unsigned parts) override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* BuildGeneralPage();
    QWidget* BuildSchedulePage();
    QWidget* BuildMailPage();
    QWidget* BuildTimePage();
    struct TListNames {
        const char* group;
        const char* caption;
        const char* list;
        const char* newButton;
        const char* copyButton;
        const char* delButton;
    };
    // A group with a list box and its buttons "新規", "コピー", "削除".
    QGroupBox* ListGroup(QWidget* page, const TListNames& names, QListWidget*& list, QPushButton*& newButton,
                         QPushButton*& copyButton, QPushButton*& delButton);
    QGroupBox* GroupPage(const char* pageName, const char* groupName, const char* caption, QWidget*& page);
    QPushButton* Button(QWidget* parent, const char* name, const char* caption);
    QCheckBox* Check(QWidget* parent, const char* name, const char* caption, const char* hint = nullptr);
    QSpinBox* Spin(QWidget* parent, const char* name, TRange range);
    QComboBox* WeekCombo(QWidget* parent, const char* name);
    // Lets the user pick the selected profile's CA file.
    void BrowseCaFile();

    TScheduleEditors ReadScheduleEditors() const;
    TProfileEditors ReadProfileEditors() const;
    TGeneralPage ReadGeneral() const;
    TTimePage ReadTime() const;
    TMailConfig ReadMailConfig() const;

    void ShowScheduleList();
    void ShowScheduleEditors();
    void ShowProfileList();
    void ShowProfileEditors();
    void ShowGeneral();
    void ShowMailConfig();
    void ShowTime();

    TSettingModel& model_;
    StayOnTopQuery stayOnTop_;
    QTabWidget* settingPage_ = nullptr;
    bool open_ = false; // shown and not yet closed

    std::array<QCheckBox*, 6> general_{}; // Active, Emphasis, StayOnTop, Taskbar, Wav, Rnd
    QCheckBox* autostartCheck_ = nullptr;

    QListWidget* scheduleListBox_ = nullptr;
    QPushButton* schNewButton_ = nullptr;
    QPushButton* schCopyButton_ = nullptr;
    QPushButton* schDelButton_ = nullptr;
    TSjisEdit* schNameEdit_ = nullptr;
    QCheckBox* onceCheckBox_ = nullptr;
    std::array<QCheckBox*, kSchFields> fieldChecks_{};
    std::array<QSpinBox*, kSchFields> fieldSpins_{}; // null for the weekday
    QComboBox* weekComboBox_ = nullptr;
    std::array<QPushButton*, 5> schTimeButtons_{}; // NowButton and the presets

    QListWidget* profileListBox_ = nullptr;
    QPushButton* mailNewButton_ = nullptr;
    QPushButton* mailCopyButton_ = nullptr;
    QPushButton* mailDelButton_ = nullptr;
    QSpinBox* checkTimerEdit_ = nullptr;
    QCheckBox* sameCheckBox_ = nullptr;
    TSjisEdit* profileEdit_ = nullptr;
    TSjisEdit* serverEdit_ = nullptr;
    QSpinBox* portEdit_ = nullptr;
    TSjisEdit* accountEdit_ = nullptr;
    TSjisEdit* passwordEdit_ = nullptr;
    QCheckBox* apopCheck_ = nullptr;
    QComboBox* tlsComboBox_ = nullptr; // 暗号化: なし, STARTTLS, SSL/TLS
    TSjisEdit* caFileEdit_ = nullptr;
    QPushButton* caFileButton_ = nullptr;

    QCheckBox* timeCheckBox_ = nullptr;
    TSjisEdit* ntpEdit_ = nullptr;
    QCheckBox* timeWCheckBox_ = nullptr;
    QComboBox* timeWComboBox_ = nullptr;
    QCheckBox* timeHCheckBox_ = nullptr;
    QSpinBox* timeHEdit_ = nullptr;
    QCheckBox* timeMCheckBox_ = nullptr;
    QSpinBox* timeMEdit_ = nullptr;
};

} // namespace pendar
