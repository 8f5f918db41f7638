// A stand-in for the system's time service (org.freedesktop.timedate1) on a
// private bus: a dbus-daemon of the test's own and python3-dbusmock's
// timedated template on it, with the NTP state the test asks for. The test
// talks to it over Bus(), never over the machine's own system bus; Calls()
// lists what the service was asked ("SetTime <usec> <relative> <interactive>").
#pragma once

#include "support/Spawn.h"
#include "support/TempDir.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pendar::test {

class PrivateTimedate {
public:
    static constexpr const char* kPython = "/usr/bin/python3";
    static constexpr const char* kDaemon = "/usr/bin/dbus-daemon";

    PrivateTimedate() = default;
    ~PrivateTimedate()
    {
        if (connected_)
            QDBusConnection::disconnectFromBus(connectionName_);
        for (pid_t pid : {mock_, daemon_})
            if (pid > 0) {
                ::kill(pid, SIGTERM);
                ::waitpid(pid, nullptr, 0);
            }
    }
    PrivateTimedate(const PrivateTimedate&) = delete;
    PrivateTimedate& operator=(const PrivateTimedate&) = delete;

    // Starts bus and service; `ntp` is what the NTP and NTPSynchronized
    // properties say. False with `why` set when either cannot run.
    bool Start(bool ntp, std::string* why)
    {
        if (::access(kDaemon, X_OK) != 0 || ::access(kPython, X_OK) != 0) {
            *why = "dbus-daemon or /usr/bin/python3 is missing";
            return false;
        }
        int out[2];
        if (::pipe(out) != 0)
            return false;
        std::string listen = "unix:path=" + dir_.File("bus");
        daemon_ = Spawn({kDaemon, "--session", "--nofork", "--address=" + listen,
                         "--print-address=" + std::to_string(out[1])},
                        {}, true, out[1]);
        ::close(out[1]);
        std::string printed;
        char c;
        while (::read(out[0], &c, 1) == 1 && c != '\n')
            printed += c;
        ::close(out[0]);
        if (printed.empty()) {
            *why = "dbus-daemon did not start";
            return false;
        }
        address_ = printed;
        mock_ = Spawn({kPython, "-m", "dbusmock", "--system", "--template", "timedated", "-l", dir_.File("calls"),
                       "-p", ntp ? "{\"NTP\": true}" : "{\"NTP\": false}"},
                      {"DBUS_SYSTEM_BUS_ADDRESS=" + address_}, true);
        connectionName_ = QString::fromStdString("private-timedate-" + std::to_string(::getpid()) + "-" +
                                                 std::to_string(reinterpret_cast<uintptr_t>(this)));
        QDBusConnection bus = QDBusConnection::connectToBus(QString::fromStdString(address_), connectionName_);
        connected_ = true;
        for (int i = 0; i < 200; ++i) {
            if (bus.isConnected() && bus.interface()->isServiceRegistered("org.freedesktop.timedate1"))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        *why = "python3-dbusmock's timedated template did not come up (is python3-dbusmock installed?)";
        return false;
    }

    QDBusConnection Bus() const { return QDBusConnection(connectionName_); }

    // Ends the service and waits until its name is gone from the bus.
    void StopService()
    {
        if (mock_ > 0) {
            ::kill(mock_, SIGTERM);
            ::waitpid(mock_, nullptr, 0);
            mock_ = -1;
        }
        for (int i = 0; i < 200 && Bus().interface()->isServiceRegistered("org.freedesktop.timedate1"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    // Makes SetTime refuse with the D-Bus error `name` and `message`.
    void RefuseSetTime(const std::string& name, const std::string& message)
    {
        QDBusMessage add = QDBusMessage::createMethodCall("org.freedesktop.timedate1", "/org/freedesktop/timedate1",
                                                          "org.freedesktop.DBus.Mock", "AddMethod");
        add << QString("org.freedesktop.timedate1") << QString("SetTime") << QString("xbb") << QString("")
            << QString::fromStdString("raise dbus.exceptions.DBusException('" + message + "', name='" + name + "')");
        Bus().call(add);
    }

    // The service's calls of `method`, each as "<method> <arguments>".
    std::vector<std::string> Calls(const std::string& method) const
    {
        std::vector<std::string> calls;
        std::string text = TempDir::ReadFile(dir_.File("calls"));
        for (size_t at = 0; at < text.size();) {
            size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(at, end - at);
            size_t word = line.find(' ');
            if (word != std::string::npos && line.compare(word + 1, method.size() + 1, method + " ") == 0)
                calls.push_back(line.substr(word + 1));
            at = end + 1;
        }
        return calls;
    }

private:
    TempDir dir_;
    std::string address_;
    QString connectionName_;
    bool connected_ = false;
    pid_t daemon_ = -1;
    pid_t mock_ = -1;
};

} // namespace pendar::test
