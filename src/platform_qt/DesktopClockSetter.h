// Setting the clock the desktop's way. Which way applies is found by looking,
// never by trying: when the system synchronises its clock itself (the time
// service reports NTP or NTPSynchronized), the clock is only measured; else
// directly when the process holds CAP_SYS_TIME; else through the time
// service's SetTime (org.freedesktop.timedate1) on the system bus, called
// asynchronously so the character stays responsive while the authorisation
// asks for a password.
#pragma once

#include "port/Clock.h"

#include <QDBusConnection>
#include <QObject>

namespace pendar {

class DesktopClockSetter final : public port::IClockSetter {
public:
    // `bus` is the system bus (tests hand in a private one).
    explicit DesktopClockSetter(QDBusConnection bus);

    port::ClockWay Way(std::string* why) override;
    void Set(port::ClockWay way, int64_t unixNanos, bool interactive, Done done) override;

private:
    QDBusConnection bus_;
    QObject replies_; // owns the watchers of calls still waiting
};

} // namespace pendar
