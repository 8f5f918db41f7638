// The main window's Qt view: a frameless tool window that forwards its
// events to TMainForm (inside the exception guard) and shows its state: the
// character panel with its image and clock labels, the balloon panel with
// its image and lines, and the window's shape.
#pragma once

#include "app/ClockFace.h"
#include "app/MainFormServices.h"
#include "app/SysMenu.h"

#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QKeyEvent;
class QLabel;
class QMenu;
class QAction;
class TDibImage;
class TMainForm;
class TZoPanel;

namespace pendar {

class DesktopStates;
class HelpWindow;
class XcbWindowTracker;

class MainWindow final : public QWidget, public IMainView {
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    // Connects the view to its logic: builds the pop-up menu from its model
    // and binds the character and balloon images to the display buffers.
    void Attach(TMainForm& form);
    QMenu* PopupMenu() const { return menu_; }
    // On an X11 desktop: the connection that sets the window's task-bar
    // and stacking states and sees whether a click brought it forward.
    // There the window's flags never change: the states say it all.
    void SetDesktop(XcbWindowTracker* desktop);

    TZoPanel* MainPanel() const { return mainPanel_; }
    TZoPanel* MesPanel() const { return mesPanel_; }
    TDibImage* MainImage() const { return mainImage_; }
    TDibImage* MesImage() const { return mesImage_; }
    QLabel* Label(TFaceLabelId id) const { return labels_[static_cast<size_t>(id)]; }
    // Pendar's own help window, once it was needed.
    HelpWindow* OwnHelp() const { return help_.get(); }

    // IMainView
    void SetCaption(std::string_view text) override;
    void SetHints(std::string_view text) override;
    void Show() override;
    void Hide() override;
    void Minimize() override;
    bool IsVisible() const override;
    bool IsApplicationActive() const override;
    void SetTaskbarEntry(bool shown) override;
    void StartTick() override;
    void StopTick() override;
    void ScheduleStartupWork() override;
    void ReleaseMouseCapture() override;
    void RequestClose() override;
    void OpenHelp() override;
    void FaceChanged(unsigned parts) override;
    port::TRect WorkArea() const override;
    void MoveWindow(int x, int y) override;
    void SetStayOnTop(bool onTop) override;
    void BringToFront() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BuildFace();
    void BuildMenu();
    void UpdateAction(const MenuEntry& entry);
    bool MenuShortcut(const QKeyEvent& key);
    void ShowLayout(const TFace& face);
    void ShowLabels(const TFace& face);
    void ShowShape(const TFace& face);
    // The character's image and clock labels: their clicks.
    bool IsCharacterPart(QObject* watched) const;
    bool IsBalloonPart(QObject* watched) const;
    bool CharacterMouse(QObject* watched, QEvent* event);
    Qt::WindowFlags WantedFlags() const;
    void ShowOwnHelp(const QString& page);

    TMainForm* form_ = nullptr;
    QTimer tick_;
    QMenu* menu_ = nullptr;
    std::map<std::string, QAction*> actions_;
    TZoPanel* mainPanel_ = nullptr;
    TZoPanel* mesPanel_ = nullptr;
    TDibImage* mainImage_ = nullptr;
    TDibImage* mesImage_ = nullptr;
    std::array<QLabel*, kFaceLabelCount> labels_{};
    // What the labels and the window's shape show now.
    std::array<std::optional<TFaceLabel>, kFaceLabelCount> shownLabels_{};
    std::optional<TRegion> shownShape_;
    // A double click's second release is no click.
    bool swallowRelease_ = false;
    // Rectangles one shape request may carry (asked once).
    size_t shapeLimit_ = 0;
    XcbWindowTracker* desktop_ = nullptr;
    DesktopStates* states_ = nullptr;
    bool taskbarEntry_ = true;
    bool stayOnTop_ = false;
    // Where the logic last put the window, and how often a stale report of
    // the server may still be corrected.
    static constexpr int kCorrections = 3;
    std::optional<QPoint> wanted_;
    int corrections_ = 0;
    std::unique_ptr<HelpWindow> help_;
};

} // namespace pendar
