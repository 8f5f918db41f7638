// The main window's Qt view: a frameless tool window that forwards its
// events to TMainForm (inside the exception guard) and shows its state.
#pragma once

#include "app/MainFormServices.h"
#include "app/SysMenu.h"

#include <QTimer>
#include <QWidget>

#include <map>
#include <string>

class QMenu;
class QAction;
class TMainForm;

namespace pendar {

class MainWindow final : public QWidget, public IMainView {
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    // Connects the view to its logic; builds the pop-up menu from its model.
    void Attach(TMainForm& form);
    QMenu* PopupMenu() const { return menu_; }

    // IMainView
    void SetCaption(std::string_view text) override;
    void SetHints(std::string_view text) override;
    void Show() override;
    void Hide() override;
    bool IsVisible() const override;
    bool IsApplicationActive() const override;
    void SetTaskbarEntry(bool shown) override;
    void StartTick() override;
    void StopTick() override;
    void ScheduleStartupWork() override;
    void ReleaseMouseCapture() override;
    void RequestClose() override;
    void OpenHelp() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void BuildMenu();
    void UpdateAction(const MenuEntry& entry);

    TMainForm* form_ = nullptr;
    QTimer tick_;
    QMenu* menu_ = nullptr;
    std::map<std::string, QAction*> actions_;
};

} // namespace pendar
