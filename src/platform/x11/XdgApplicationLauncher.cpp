#include "platform/x11/XdgApplicationLauncher.h"

#include "async/ChildProcess.h"
#include "async/ProcessWait.h"
#include "platform/PlatformError.h"
#include "platform/x11/DesktopEntry.h"
#include "platform/x11/DesktopExec.h"
#include "platform/x11/WindowNames.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Windows.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QUrl>

namespace vima {
namespace {

// Terminals and what each takes before the command to run in it: Debian's
// choice of the user's first, then the common ones.
struct Terminal {
    const char *program;
    const char *separator; // nothing: the command follows the program
};
constexpr Terminal terminals[] = {
    {"x-terminal-emulator", "-e"}, {"gnome-terminal", "--"}, {"konsole", "-e"},   {"xfce4-terminal", "-x"},
    {"mate-terminal", "-x"},       {"lxterminal", "-e"},     {"terminator", "-x"}, {"alacritty", "-e"},
    {"kitty", nullptr},            {"foot", nullptr},        {"urxvt", "-e"},      {"xterm", "-e"},
};

// The first terminal installed, with what precedes the command; nothing when none is.
std::optional<QStringList> terminalCommand()
{
    for (const Terminal &terminal : terminals) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(terminal.program));
        if (program.isEmpty())
            continue;
        QStringList command{program};
        if (terminal.separator)
            command << QString::fromLatin1(terminal.separator);
        return command;
    }
    return std::nullopt;
}

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
    QString refusal;
    const auto command = DesktopExec::split(app.exec, fields, &refusal);
    if (!command || command->isEmpty()) {
        const QString why = app.exec.trimmed().isEmpty() ? QStringLiteral("it has no Exec line")
                            : command ? QStringLiteral("its Exec line names no program")
                                      : QStringLiteral("its Exec line ") + refusal;
        // The entry's file is where it is mended.
        const QString where = app.filePath.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(app.filePath);
        throw PlatformError(QStringLiteral("“%1” can't be started: %2%3.").arg(displayName(app), why, where));
    }
    if (!app.terminal)
        return *command;
    const auto terminal = terminalCommand();
    if (!terminal) {
        throw PlatformError(
            QStringLiteral("“%1” runs in a terminal, and no terminal was found. Install one, such as xterm.")
                .arg(displayName(app)));
    }
    return *terminal + *command;
}

void XdgApplicationLauncher::start(const QStringList &command, const QString &workingDirectory, const QString &name)
{
    const QString directory = workingDirectory.isEmpty() ? QDir::homePath() : workingDirectory;
    const auto pid = ChildProcess::spawn(command, directory, {});
    if (!pid)
        throw PlatformError(QStringLiteral("Couldn't start “%1”.").arg(name));
    reapWhenExited(*pid);
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
        start({info.absoluteFilePath()}, info.absolutePath(), info.fileName());
    } else {
        co_await opener_.open(QUrl::fromLocalFile(path));
    }
}

} // namespace vima
