#include "platform/x11/XdgDesktopOpener.h"

#include "platform/MissingFileManager.h"

#include "async/ChildProcess.h"
#include "async/ProcessWait.h"

#include <QCoroSignal>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QStandardPaths>
#include <memory>

namespace vima {
namespace {

// An opener that is still running after this has found something to run.
constexpr double answerTimeout = 5.0;

QStringList desktopOpener()
{
    if (!QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return {QStringLiteral("xdg-open")};
    if (!QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
        return {QStringLiteral("gio"), QStringLiteral("open")};
    return {QStringLiteral("xdg-open")};
}

QString openedTarget(const QUrl &url) { return url.isLocalFile() ? url.toLocalFile() : url.toString(); }

// A password in an address is the opener's to send, never ours to show.
QString shownTarget(const QUrl &url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::RemoveUserInfo);
}

[[noreturn]] void failToOpen(const QUrl &url)
{
    // Only a file manager opens a folder.
    if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir())
        throw MissingFileManager();
    throw PlatformError(QStringLiteral("No application could open “%1”.").arg(shownTarget(url)));
}

} // namespace

XdgDesktopOpener::XdgDesktopOpener(QStringList command)
    : command_(command.isEmpty() ? desktopOpener() : std::move(command))
{
}

QCoro::Task<void> XdgDesktopOpener::open(const QUrl &url)
{
    // What it prints echoes the target, raw, into our log: its failure is told anyway.
    const ChildProcess::Standard silent{ChildProcess::nullDevice, ChildProcess::nullDevice, ChildProcess::nullDevice};
    const auto pid = ChildProcess::spawn(command_ + QStringList{openedTarget(url)}, {}, silent);
    if (!pid)
        failToOpen(url);
    // An await is a statement of its own, its result a named local: g++ 12
    // lays out a coroutine's frame wrongly when a condition awaits, and the
    // coroutine then resumes through a wild pointer.
    const std::optional<int> exitCode = co_await childExited(*pid, answerTimeout);
    // Still running: it found something to run.
    if (!exitCode)
        co_return;
    if (*exitCode != 0)
        failToOpen(url);
}

QCoro::Task<void> XdgDesktopOpener::reveal(const QString &filePath)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(filePath).toString()} << QString();
        const auto watcher = std::make_unique<QDBusPendingCallWatcher>(bus.asyncCall(call));
        co_await qCoro(watcher.get(), &QDBusPendingCallWatcher::finished);
        if (!watcher->isError())
            co_return;
    }
    co_await open(QUrl::fromLocalFile(QFileInfo(filePath).path()));
}

} // namespace vima
