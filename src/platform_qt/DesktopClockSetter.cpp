#include "platform_qt/DesktopClockSetter.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QVariantMap>

namespace pendar {

namespace {

constexpr const char* kService = "org.freedesktop.timedate1";
constexpr const char* kPath = "/org/freedesktop/timedate1";
constexpr const char* kInterface = "org.freedesktop.timedate1";

// Reading the properties answers at once or the service is not there.
constexpr int kLookMs = 3000;
// An interactive call waits while the user types a password; a call that
// may not ask ends as soon as the authority answers.
constexpr int kInteractiveMs = 5 * 60 * 1000;
constexpr int kQuietMs = 25 * 1000;

std::string Reason(const QDBusError& error)
{
    std::string name = error.name().toStdString();
    std::string message = error.message().toStdString();
    return message.empty() ? name : name + ": " + message;
}

} // namespace

DesktopClockSetter::DesktopClockSetter(QDBusConnection bus) : bus_(std::move(bus)) {}

port::ClockWay DesktopClockSetter::Way(std::string* why)
{
    std::string service;
    if (!bus_.isConnected()) {
        service = "no system bus";
    } else {
        QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Properties", "GetAll");
        get << QString::fromLatin1(kInterface);
        QDBusMessage reply = bus_.call(get, QDBus::Block, kLookMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            QVariantMap props = qdbus_cast<QVariantMap>(reply.arguments().at(0));
            if (props.value("NTP").toBool() || props.value("NTPSynchronized").toBool())
                return port::ClockWay::LeftToSystem;
        } else {
            service = "no time service: " + Reason(QDBusError(reply));
        }
    }
    if (port::MayProcessSetClock())
        return port::ClockWay::Direct;
    if (service.empty())
        return port::ClockWay::TimeService;
    if (why)
        *why = "no permission to set the clock and " + service;
    return port::ClockWay::None;
}

void DesktopClockSetter::Set(port::ClockWay way, int64_t unixNanos, bool interactive, Done done)
{
    if (way == port::ClockWay::Direct) {
        std::string error;
        bool set = port::SetSystemClock(unixNanos, &error);
        done(set, error);
        return;
    }
    if (way != port::ClockWay::TimeService) {
        done(false, "the clock is not set this way");
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "SetTime");
    call << static_cast<qlonglong>(unixNanos / 1000) << false << interactive;
    call.setInteractiveAuthorizationAllowed(interactive);
    auto* watcher =
        new QDBusPendingCallWatcher(bus_.asyncCall(call, interactive ? kInteractiveMs : kQuietMs), &replies_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &replies_,
                     [watcher, done = std::move(done)] {
                         QDBusPendingReply<> reply = *watcher;
                         watcher->deleteLater();
                         if (reply.isError())
                             done(false, Reason(reply.error()));
                         else
                             done(true, {});
                     });
}

} // namespace pendar
