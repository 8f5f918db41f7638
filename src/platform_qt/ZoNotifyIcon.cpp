#include "platform_qt/ZoNotifyIcon.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QStyle>

namespace {

// The X11 platform's notice that the notification area's window changed.
constexpr const char* kTrayChanged = "systemTrayWindowChanged(QScreen*)";
constexpr int kFallbackCheckMs = 10000;

} // namespace

TZoNotifyIcon::TZoNotifyIcon()
{
    QObject::connect(&tray_, &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); });
    QObject::connect(&hostCheck_, &QTimer::timeout, [this] { AskForHost(); });
    // The platform's native interface is a QObject (its only base); its
    // header is private to Qt, so the pointer is taken as what it is.
    QObject* native = QGuiApplication::instance()
                          ? reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface())
                          : nullptr;
    const bool notices = native && native->metaObject()->indexOfSignal(kTrayChanged) >= 0;
    if (notices) {
        // Asked once the notice is through, when Qt has embedded the icon.
        hostCheck_.setSingleShot(true);
        hostCheck_.setInterval(0);
        QObject::connect(native, (QByteArray("2") + kTrayChanged).constData(), &hostCheck_, SLOT(start()));
    } else {
        hostCheck_.setInterval(kFallbackCheckMs);
    }
}

TZoNotifyIcon::~TZoNotifyIcon()
{
    NIMDelete();
}

bool TZoNotifyIcon::NIMAdd()
{
    if (!visible_) {
        tray_.setToolTip(caption_);
        tray_.setIcon(Shown());
        // Shown even without a notification area: Qt embeds the icon when
        // one starts (a panel that comes up after Pendar at log-in).
        tray_.show();
        visible_ = true;
        AskForHost();
        if (!hostCheck_.isSingleShot())
            hostCheck_.start();
    }
    return Embedded();
}

void TZoNotifyIcon::NIMDelete()
{
    if (!visible_)
        return;
    visible_ = false;
    tray_.hide();
    if (!hostCheck_.isSingleShot())
        hostCheck_.stop();
}

void TZoNotifyIcon::SetIconVisible(bool visible)
{
    if (visible == visible_)
        return;
    if (visible)
        NIMAdd();
    else
        NIMDelete();
}

bool TZoNotifyIcon::Embedded() const
{
    return visible_ && hostRuns_;
}

void TZoNotifyIcon::AskForHost()
{
    hostRuns_ = QSystemTrayIcon::isSystemTrayAvailable();
}

void TZoNotifyIcon::SetCaption(const QString& caption)
{
    caption_ = caption;
    if (visible_)
        tray_.setToolTip(caption_);
}

void TZoNotifyIcon::SetIcon(const QIcon& icon)
{
    icon_ = icon;
    if (visible_)
        tray_.setIcon(Shown());
}

QIcon TZoNotifyIcon::Shown() const
{
    if (!icon_.isNull())
        return icon_;
    QIcon app = QApplication::windowIcon();
    // An application without an icon of its own still needs something to show.
    return app.isNull() ? QApplication::style()->standardIcon(QStyle::SP_ComputerIcon) : app;
}

void TZoNotifyIcon::NotifyWinPopup()
{
    if (Menu)
        Menu->popup(QCursor::pos());
}

void TZoNotifyIcon::Activated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (OnClick)
            OnClick();
        break;
    case QSystemTrayIcon::DoubleClick:
        if (OnDblClick)
            OnDblClick();
        break;
    case QSystemTrayIcon::Context:
        NotifyWinPopup();
        break;
    default:
        break;
    }
}
