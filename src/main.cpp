// Pendar: a single instance, its windows, the event loop, and a close path
// that every way of ending (menu, signals, session end) goes through.
#include "app/ConsoleLog.h"
#include "app/DialogWindows.h"
#include "app/ExceptionGuard.h"
#include "app/MainForm.h"
#include "app/MainWindow.h"
#include "app/Placeholders.h"
#include "app/StdRandom.h"
#include "dialogs/LogModel.h"
#include "platform/QtMessageBoxes.h"
#include "platform/WindowTracker.h"
#include "port/AppFolder.h"
#include "port/Clock.h"
#include "port/InstanceLock.h"
#include "port/SignalPipe.h"
#include "port/ThreadPriority.h"

#include <QApplication>
#include <QSocketNotifier>

int main(int argc, char** argv)
{
    port::InstanceLock instance;
    if (!instance.Acquire("SorelPendar"))
        return 0; // another Pendar runs: end silently

    // The log exists before any window and outlives them all. Every entry
    // also goes to standard error, where it survives the end of the run
    // (the log window itself keeps nothing on disk).
    port::SystemClock clock;
    pendar::TLogModel log(clock);
    pendar::ConsoleLog console;
    log.SetMirror(&console);

    port::SignalPipe signalPipe;
    QApplication app(argc, argv);
    QApplication::setApplicationName("SorelPendar");
    QApplication::setQuitOnLastWindowClosed(false);

    port::SystemClockSetter clockSetter;
    pendar::QtMessageBoxes messageBoxes;
    port::SetMessageBoxes(&messageBoxes);
    pendar::UnshownMessages messages;
    pendar::NoTrayIcon tray;
    pendar::NullWindowTracker tracker;
    pendar::StdRandom random;
    port::ThreadPriority priority;

    pendar::MainWindow window;
    TMainForm form({clock, clockSetter, messageBoxes, window, messages, tray, tracker, random, priority, log,
                    port::ThisAppFolders().settingsFile, port::ThisAppFolders().dataFolders});
    window.Attach(form);
    pendar::DialogWindows dialogs(log, clock, window, form.SettingDialog(), [&form] { return form.StaysOnTop(); });
    form.SetDialogWindows(&dialogs);

    QSocketNotifier onSignal(signalPipe.ReadFd(), QSocketNotifier::Read);
    QObject::connect(&onSignal, &QSocketNotifier::activated, &window, [&] {
        signalPipe.Drain();
        window.RequestClose();
    });
    // The session manager ending the session quits the application directly.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&] {
        if (!form.Closing())
            pendar::Guarded(form, [&] { form.FormCloseQuery(); });
    });

    pendar::Guarded(form, [&] { form.FormCreate(); });
    if (!form.Closing())
        window.show();
    int rc = app.exec();

    // The event loop has returned: nothing waits inside it any more.
    pendar::Guarded(form, [&] { form.FormDestroy(); });
    form.SetDialogWindows(nullptr);
    port::SetMessageBoxes(nullptr);
    return rc;
}
