// Pendar: a single instance, its windows, the event loop, and a close path
// that every way of ending (menu, signals, session end) goes through.
#include "app/ConsoleLog.h"
#include "app/DesktopId.h"
#include "app/ExceptionGuard.h"
#include "app/FormBalloon.h"
#include "app/MainForm.h"
#include "app/MessageStore.h"
#include "app/Placeholders.h"
#include "app/StdRandom.h"
#include "app_qt/AppIcon.h"
#include "app_qt/DialogWindows.h"
#include "app_qt/MainWindow.h"
#include "app_qt/QtTrayIcon.h"
#include "app_qt/ZoPanel.h"
#include "audio/AudioSink.h"
#include "base/Sjis.h"
#include "dialogs/LogModel.h"
#include "platform/WindowTracker.h"
#include "platform_qt/DesktopClockSetter.h"
#include "platform_qt/DisplayServer.h"
#include "platform_qt/QtMessageBoxes.h"
#include "platform_qt/XcbWindowTracker.h"
#include "port/AppFolder.h"
#include "port/Clock.h"
#include "port/Cp932.h"
#include "port/InstanceChannel.h"
#include "port/InstanceLock.h"
#include "port/PrivateFolder.h"
#include "port/SignalPipe.h"
#include "port/ThreadPriority.h"
#include "port/UserFile.h"

#include <QApplication>
#include <QWindow>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* Env(const char* name)
{
    return std::getenv(name);
}

// The arguments Qt starts with: the program's own, and "-platform xcb" when
// Pendar should draw on X (a Wayland session with an X server), which,
// unlike QT_QPA_PLATFORM, does not reach the programs Pendar opens.
struct QtArguments {
    QtArguments(int argc, char** argv)
    {
        for (int i = 0; i < argc; ++i)
            words.emplace_back(argv[i]);
        std::string platform = pendar::ChooseQtPlatform(Env, pendar::XServerReachable);
        if (!platform.empty()) {
            words.emplace_back("-platform");
            words.push_back(platform);
        }
        for (std::string& w : words)
            pointers.push_back(w.data());
        pointers.push_back(nullptr);
        count = static_cast<int>(words.size());
    }
    std::vector<std::string> words;
    std::vector<char*> pointers;
    int count = 0; // QApplication keeps a reference to it
};

// Without a lock a second start could not be told from the first: say why
// and stop, rather than run unguarded or end in silence.
int ReportNoLock(int argc, char** argv, port::SignalPipe& signalPipe, const std::string& why)
{
    std::fprintf(stderr, "pendar: cannot make the single-instance lock: %s\n", why.c_str());
    QtArguments args(argc, argv);
    QApplication app(args.count, args.pointers.data());
    pendar::QtMessageBoxes boxes;
    QSocketNotifier onSignal(signalPipe.ReadFd(), QSocketNotifier::Read);
    QObject::connect(&onSignal, &QSocketNotifier::activated, &app, [&] {
        signalPipe.Drain();
        boxes.CloseAll();
    });
    boxes.Show(Sjis("二重起動を防ぐロックを作れないため、終了します。\n") + port::Utf8ToCp932(why),
               TMainForm::kAppTitle, port::MessageButtons::Ok, port::MessageIcon::Error);
    return 1;
}

// Runs `later` once, after the window has painted its first exposed frame,
// or after two seconds for a window mapped where nothing of it shows.
class AfterFirstFrame final : public QObject {
public:
    AfterFirstFrame(QWidget& window, std::function<void()> later) : later_(std::move(later))
    {
        if (QWindow* native = window.windowHandle())
            native->installEventFilter(this);
        QTimer::singleShot(2000, this, &AfterFirstFrame::Run);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Qt paints what an expose asks for when the event reaches the
        // window: queued, `later` comes after that.
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(this, &AfterFirstFrame::Run, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void Run()
    {
        if (later_)
            std::exchange(later_, nullptr)();
    }

    std::function<void()> later_;
};

} // namespace

int main(int argc, char** argv)
{
    // Before the lock exists: whoever sees the lock may send a quit signal,
    // and it must reach the close path.
    port::SignalPipe signalPipe;
    std::string noLock;
    std::optional<port::PrivateFolder> privateFolder = port::FindPrivateFolder(Env, &noLock);
    if (!privateFolder)
        return ReportNoLock(argc, argv, signalPipe, noLock);
    port::InstanceLock instance;
    switch (instance.Acquire(privateFolder->path, TMainForm::kAppTitle)) {
    case port::InstanceLock::Result::HeldByMine: {
        // Another Pendar of this user runs: it brings its character back;
        // this start ends silently, whether the knock was heard or not.
        std::string unheard;
        port::InstanceChannel::Knock(privateFolder->path, TMainForm::kAppTitle, &unheard);
        return 0;
    }
    case port::InstanceLock::Result::Failed:
        return ReportNoLock(argc, argv, signalPipe, instance.Error());
    case port::InstanceLock::Result::Acquired:
        break;
    }
    // Listening at once: a second start knocks from now on, and the knocks
    // wait until the window is up.
    port::InstanceChannel channel;
    std::string deaf;
    channel.Listen(privateFolder->path, TMainForm::kAppTitle, &deaf);
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

    if (!privateFolder->notice.empty())
        log.AddLog(port::Utf8ToCp932("Lock: " + privateFolder->notice + "; using " + privateFolder->path), 0);
    if (!deaf.empty())
        log.AddLog(port::Utf8ToCp932("Lock: a second start cannot bring the character back: " + deaf), 255);

    QtArguments args(argc, argv);
    QApplication app(args.count, args.pointers.data());
    QApplication::setApplicationName("SorelPendar");
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
        log.AddLog(pendar::kWaylandLimits, 0);
    // The desktop entry and icon an installed Pendar brings.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(pendar::kDesktopId));
    QApplication::setQuitOnLastWindowClosed(false);

    pendar::DesktopClockSetter clockSetter(QDBusConnection::systemBus());
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
                    port::ThisAppFolders().settingsFile, port::ThisAppFolders().dataFolders,
                    port::XdgConfigHome(Env) + "autostart/" + pendar::kDesktopId + ".desktop",
                    port::ExecutablePath()});
    window.SetDesktop(x11.get());
    window.Attach(form);
    pendar::TFormBalloon balloon(form);
    messages.SetBalloon(&balloon);
    tray.Attach(form, window.PopupMenu());
    // The player's notices (no audio device) come from the GUI thread.
    audio::SetAudioNotice([&form](std::string_view text) { form.AddLog(text, 0); });
    pendar::DialogWindows dialogs(log, clock, *window.MainPanel(), form.SettingDialog(),
                                  [&form] { return form.StaysOnTop(); }, x11.get());
    form.SetDialogWindows(&dialogs);

    // A quit signal runs the close path at once, also while a box or dialog
    // runs its own loop (a start-up box included): boxes waiting for an OK
    // end, and the program does not go on without its window.
    QSocketNotifier onSignal(signalPipe.ReadFd(), QSocketNotifier::Read);
    QObject::connect(&onSignal, &QSocketNotifier::activated, &window, [&] {
        signalPipe.Drain();
        if (!form.Closing())
            window.close();
        messageBoxes.CloseAll();
    });
    // The session manager ending the session quits the application directly.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&] {
        if (!form.Closing())
            pendar::Guarded(form, [&] { form.FormCloseQuery(); });
    });

    pendar::Guarded(form, [&] { form.FormCreate(); });
    // Closed already (the plain skin failed, or a quit came during a
    // start-up box): a quit before the event loop runs would be lost in it.
    int rc = 0;
    if (!form.Closing()) {
        window.show();
        // Looking the icon up in the icon themes takes a few milliseconds
        // the first frame need not wait for.
        AfterFirstFrame iconLater(window, [] {
            QApplication::setWindowIcon(pendar::ApplicationIcon(port::ThisAppFolders()));
        });
        // A second start of this user: the character comes back as the
        // menu's 元のｻｲｽﾞに戻す brings it, and to the front.
        std::optional<QSocketNotifier> onKnock;
        if (channel.Fd() >= 0) {
            onKnock.emplace(channel.Fd(), QSocketNotifier::Read);
            QObject::connect(&*onKnock, &QSocketNotifier::activated, &window, [&] {
                if (channel.TakeKnocks() && !form.Closing())
                    pendar::Guarded(form, [&] { form.SysRestoreClick(); });
            });
        }
        rc = app.exec();
    }

    // The event loop has returned: nothing waits inside it any more.
    pendar::Guarded(form, [&] { form.FormDestroy(); });
    form.SetDialogWindows(nullptr);
    messages.SetBalloon(nullptr);
    audio::SetAudioNotice(nullptr);
    port::SetMessageBoxes(nullptr);
    return rc;
}
