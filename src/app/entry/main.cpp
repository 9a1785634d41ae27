#include "app/AppDelegate.h"
#include "app/AppEnvironment.h"
#include "app/InstanceLock.h"
#include "app/LinuxPlatform.h"
#include "app/Platform.h"
#include "app/StandardDescriptors.h"
#include "app/UnixSignalWatcher.h"
#include "async/Scheduler.h"
#include "model/LogText.h"
#include "platform/NotificationCenter.h"
#include "platform/x11/X11ClipboardKeeper.h"
#include "store/ConfigStore.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

using namespace vima;

int main(int argc, char *argv[])
{
    openClosedStandardDescriptors();
    // The log is often the user's terminal, and many lines carry outside text.
    LogText::install();
    // The global hotkey, the right-click trigger and synthetic keys are X11
    // features: under Wayland, run through XWayland.
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fputs("Tavelon needs an X11 session: DISPLAY is not set.\n", stderr);
        return 1;
    }
    // Started again by itself to keep the clipboard after it quits.
    if (argc >= 2 && qstrcmp(argv[1], X11ClipboardKeeper::argument) == 0)
        return X11ClipboardKeeper::run(argc - 2, argv + 2);
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavelon"));
    QApplication::setOrganizationName(QStringLiteral("Vima"));
    QApplication::setDesktopFileName(QStringLiteral("com.vima.Vima"));
    // An agent: no window at rest, and closing the last window never quits.
    QApplication::setQuitOnLastWindowClosed(false);

    // Before any service: an older copy must let go of the hotkey and finish
    // its last save first.
    InstanceLock lock;
    const InstanceLock::Start start = lock.acquire();
    if (start == InstanceLock::Start::Superseded)
        return 0;
    const bool replacedOlderCopy = start == InstanceLock::Start::ReplacedOlderCopy;

    UnixSignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &UnixSignalWatcher::quitRequested, &app, &QCoreApplication::quit);
    QObject::connect(&lock, &InstanceLock::replaced, &app, &QCoreApplication::quit);

    Platform platform = makeLinuxPlatform();
    NotificationCenter notifications;
    AppDelegate delegate(platform, ConfigStore::directoryURL(), Scheduler::system(),
                         notifications);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate,
                     [&delegate] { delegate.applicationWillTerminate(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &delegate, [&delegate] {
        if (delegate.environment())
            delegate.environment()->configStore().saveBeforeQuit();
    });
    QTimer::singleShot(0, &delegate, [&delegate, replacedOlderCopy] {
        delegate.applicationDidFinishLaunching();
        // No reopen event here: a launch that ended a running copy is one.
        if (replacedOlderCopy)
            delegate.applicationShouldHandleReopen();
    });
    return QApplication::exec();
}
