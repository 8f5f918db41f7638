// TZoNotifyIcon: one icon with a tool tip in the desktop's notification
// area (QSystemTrayIcon), its clicks as OnClick/OnDblClick and its menu at
// the mouse on a right click. When no notification area runs the icon waits
// and appears as soon as one starts.
//
// Whether an area runs is asked once when the icon is added and again only
// when the platform says the area came or went (on X11 the notice of the
// tray window's change); where no such notice exists, every few seconds.
#pragma once

#include <QIcon>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>

class QMenu;

class TZoNotifyIcon {
public:
    TZoNotifyIcon();
    ~TZoNotifyIcon();
    TZoNotifyIcon(const TZoNotifyIcon&) = delete;
    TZoNotifyIcon& operator=(const TZoNotifyIcon&) = delete;

    // Popped up at the mouse on a right click (or right double click).
    QMenu* Menu = nullptr;
    // Left button pressed; a double click gives OnClick, then OnDblClick.
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

    // Asks for the icon; true when a notification area shows it now. Asking
    // twice adds it once.
    bool NIMAdd();
    void NIMDelete();
    bool IconVisible() const { return visible_; }
    void SetIconVisible(bool visible);
    // Whether the icon is in a notification area at this moment (the kept
    // answer: no question to the desktop).
    bool Embedded() const;

    // The tool tip; kept while the icon is not visible.
    void SetCaption(const QString& caption);
    QString Caption() const { return caption_; }
    // A null icon shows the application's icon.
    void SetIcon(const QIcon& icon);

    void NotifyWinPopup();
    // What the notification area reports (a QSystemTrayIcon activation).
    void Activated(QSystemTrayIcon::ActivationReason reason);
    QSystemTrayIcon& TrayIcon() { return tray_; }

private:
    QIcon Shown() const;
    void AskForHost();

    QSystemTrayIcon tray_;
    // Asks again after the platform's notice (or, without one, now and then).
    QTimer hostCheck_;
    bool hostRuns_ = false;
    QIcon icon_;
    QString caption_;
    bool visible_ = false;
};
