// Driving a test's own X desktop: waiting while Qt's events run, and
// xdotool for the pointer and the window manager.
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>

#include <functional>

namespace pendar::test {

// Runs the event loop until `done` holds, giving up after `tries` rounds of
// 20 ms.
inline bool WaitFor(const std::function<bool()>& done, int tries = 250)
{
    for (int i = 0; i < tries; ++i) {
        if (done())
            return true;
        QTest::qWait(20);
    }
    return done();
}

inline bool Xdotool(const QStringList& args)
{
    return QProcess::execute("xdotool", args) == 0;
}

} // namespace pendar::test
