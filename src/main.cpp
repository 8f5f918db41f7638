// Pendar: a single instance, its windows, the event loop, and a close path
// that every way of ending (menu, signals, session end) goes through.
#include "app/ConsoleLog.h"
#include "app/DialogWindows.h"
#include "app/ExceptionGuard.h"
#include "app/FormBalloon.h"
#include "app/MainForm.h"
#include "app/MainWindow.h"
#include "app/MessageStore.h"
#include "app/Placeholders.h"
#include "app/QtTrayIcon.h"
#include "audio/AudioSink.h"
#include "app/StdRandom.h"
#include "dialogs/LogModel.h"
#include "platform/QtMessageBoxes.h"
#include "platform/WindowTracker.h"
#include "platform/XcbWindowTracker.h"
#include "port/AppFolder.h"
#include "port/Clock.h"
#include "port/InstanceLock.h"
#include "port/SignalPipe.h"
#include "port/ThreadPriority.h"
#include "port/UserFile.h"

#include <QApplication>
#include <QWindow>
#include <QSocketNotifier>

int main(int argc, char** argv)
{
    port::InstanceLock instance;
    if (!instance.Acquire("SorelPendar"))
        return 0; // another Pendar runs: end silently
    // A save killed half-way in an earlier run left its temporary file;
    // holding the lock, no save of this user runs now.
    port::RemoveStaleTemporaries(port::ThisAppFolders().settingsFile);

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
    pendar::TMessageStore messages;
    pendar::QtTrayIcon tray;
    // Foreign windows are seen only on X11; elsewhere there never is one
    // and the window-relative places fall back to the screen's edges.
    pendar::NullWindowTracker noTracker;
    std::unique_ptr<pendar::XcbWindowTracker> x11;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        x11 = std::make_unique<pendar::XcbWindowTracker>([](pendar::WindowId id) {
            for (QWindow* w : QGuiApplication::topLevelWindows())
                if (w->handle() && w->winId() == id)
                    return true;
            return false;
        });
        if (!x11->Connected())
            x11.reset();
    }
    pendar::IWindowTracker& tracker = x11 ? static_cast<pendar::IWindowTracker&>(*x11) : noTracker;
    pendar::StdRandom random;
    port::ThreadPriority priority;

    pendar::MainWindow window;
    TMainForm form({clock, clockSetter, messageBoxes, window, messages, tray, tracker, random, priority, log,
                    port::ThisAppFolders().settingsFile, port::ThisAppFolders().dataFolders});
    window.SetDesktop(x11.get());
    window.Attach(form);
    pendar::TFormBalloon balloon(form);
    messages.SetBalloon(&balloon);
    tray.Attach(form, window.PopupMenu());
    // The player's notices (no audio device) come from the GUI thread.
    audio::SetAudioNotice([&form](std::string_view text) { form.AddLog(text, 0); });
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
    messages.SetBalloon(nullptr);
    audio::SetAudioNotice(nullptr);
    port::SetMessageBoxes(nullptr);
    return rc;
}
