#include "platform/x11/XdgApplicationLauncher.h"

#include "async/ChildProcess.h"
#include "platform/PlatformError.h"
#include "platform/x11/DesktopEntry.h"
#include "platform/x11/DesktopExec.h"
#include "platform/x11/WindowNames.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Windows.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace vima {
namespace {

QString displayName(const DesktopApp &app) { return app.name.isEmpty() ? app.bundleID : app.name; }

DesktopApp appFromEntry(const QString &path)
{
    const auto entry = DesktopEntry::read(path);
    if (!entry)
        throw PlatformError(QStringLiteral("%1 isn't a readable desktop entry.").arg(path));
    DesktopApp app;
    app.bundleID = QFileInfo(path).completeBaseName();
    app.name = entry->localizedValue(QStringLiteral("Name"), QLocale().name());
    app.exec = entry->value(QStringLiteral("Exec"));
    app.icon = entry->value(QStringLiteral("Icon"));
    app.workingDirectory = entry->value(QStringLiteral("Path"));
    app.filePath = path;
    app.startupWMClass = entry->value(QStringLiteral("StartupWMClass"));
    app.terminal = entry->boolean(QStringLiteral("Terminal"));
    return app;
}

} // namespace

XdgApplicationLauncher::XdgApplicationLauncher(DesktopOpener &opener, const ApplicationCatalog *catalog)
    : opener_(opener), catalog_(catalog)
{
}

QStringList XdgApplicationLauncher::command(const DesktopApp &app)
{
    DesktopExec::Fields fields;
    fields.icon = app.icon;
    fields.name = app.name;
    fields.desktopFile = app.filePath;
    const auto command = DesktopExec::split(app.exec, fields);
    if (!command || command->isEmpty())
        throw PlatformError(QStringLiteral("“%1” has no command that can be run.").arg(displayName(app)));
    if (!app.terminal)
        return *command;
    const QString terminal = QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"));
    return terminal.isEmpty() ? *command : QStringList{terminal, QStringLiteral("-e")} + *command;
}

void XdgApplicationLauncher::start(const QStringList &command, const QString &workingDirectory, const QString &name)
{
    const QString directory = workingDirectory.isEmpty() ? QDir::homePath() : workingDirectory;
    QProcess process;
    process.setProgram(command.first());
    process.setArguments(command.mid(1));
    process.setWorkingDirectory(directory);
    if (!ChildProcess::startDetached(process))
        throw PlatformError(QStringLiteral("Couldn't start “%1”.").arg(name));
}

QCoro::Task<void> XdgApplicationLauncher::launch(const DesktopApp &app)
{
    const QStringList command = XdgApplicationLauncher::command(app);
    if (const xcb_window_t window = WindowNames::newestWindowOf(AppIdentity(app.bundleID, {app.startupWMClass}), catalog_)) {
        x11::activateWindow(window);
        co_return;
    }
    start(command, app.workingDirectory, displayName(app));
}

QCoro::Task<void> XdgApplicationLauncher::launchPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile() && info.suffix() == QLatin1String("desktop")) {
        co_await launch(appFromEntry(path));
    } else if (info.isFile() && info.isExecutable()) {
        start({path}, info.absolutePath(), info.fileName());
    } else {
        co_await opener_.open(QUrl::fromLocalFile(path));
    }
}

} // namespace vima
