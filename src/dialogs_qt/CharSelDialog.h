// The character selection: the skin names in a list; "設定" or a double
// click applies the selected one (the dialog stays open), "閉じる" closes.
#pragma once

#include "dialogs_qt/DialogView.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace pendar {

class TCharSelDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxEntries = 256;

    explicit TCharSelDialog(StayOnTopQuery stayOnTop);

    // The names (code page 932) the list shows, at most kMaxEntries.
    void SetNames(std::vector<std::string> names);
    // Applies the selected entry through onSelect; nothing without one.
    void CharSelect();

    std::function<void(const std::string&)> onSelect;

    QListWidget* CharListBox() const { return charListBox_; }
    QPushButton* SetButton() const { return setButton_; }
    QPushButton* CloseButton() const { return closeButton_; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    StayOnTopQuery stayOnTop_;
    std::vector<std::string> names_;
    QListWidget* charListBox_;
    QPushButton* setButton_;
    QPushButton* closeButton_;
};

} // namespace pendar
