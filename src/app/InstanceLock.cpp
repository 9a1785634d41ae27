#include "app/InstanceLock.h"

#include "app/Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace vima {

InstanceLock::InstanceLock(const QString &lockPath) : lock_(std::make_unique<QLockFile>(lockPath))
{
    lock_->setStaleLockTime(0); // a lock is stale only when its process is gone
}

QString InstanceLock::defaultLockPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QString display = qEnvironmentVariable("DISPLAY", QStringLiteral("none"));
    // ":0" and ":0.0" name one display.
    static const QRegularExpression screen(QStringLiteral("\\.\\d+$"));
    display.remove(screen);
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    return dir + QStringLiteral("/com.vima.Vima-") + display + QStringLiteral(".lock");
}

QString executableOf(qint64 pid)
{
    std::error_code error;
    const auto target = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
    if (error)
        return {};
    QString path = QString::fromStdString(target.string());
    // The kernel marks a file that was unlinked after the process started.
    const QLatin1String deleted(" (deleted)");
    if (path.endsWith(deleted))
        path.chop(deleted.size());
    return path;
}

bool isSameProgram(qint64 pid)
{
    // By name: a copy installed elsewhere (or a build tree's) is this program too.
    const QString exe = executableOf(pid);
    const QString own = executableOf(QCoreApplication::applicationPid());
    return !exe.isEmpty() && QFileInfo(exe).fileName() == QFileInfo(own).fileName();
}

bool InstanceLock::acquire(int waitMilliseconds)
{
    if (lock_->tryLock(0))
        return false;
    const bool found = endHolder(waitMilliseconds);
    if (!lock_->isLocked() && !lock_->tryLock(0)) {
        lock_->removeStaleLockFile();
        if (!lock_->tryLock(0))
            qCWarning(lcApp) << "Could not take the instance lock:" << lock_->error();
    }
    return found;
}

bool InstanceLock::endHolder(int waitMilliseconds)
{
    qint64 pid = 0;
    QString host, app;
    if (!lock_->getLockInfo(&pid, &host, &app) || pid <= 0 || pid == QCoreApplication::applicationPid())
        return false;
    if (!isSameProgram(pid)) {
        qCInfo(lcApp) << "Lock holder" << pid << "is not this program; leaving it alone";
        return false;
    }
    qCInfo(lcApp) << "Asking the running copy" << pid << "to quit";
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    // Blocking wait before any service exists: the old copy must let go of the
    // hotkey grab and finish its last save first.
    for (int waited = 0; waited < waitMilliseconds; waited += 20) {
        if (lock_->tryLock(0))
            return true;
        QThread::msleep(20);
    }
    if (isSameProgram(pid)) {
        qCWarning(lcApp) << "Running copy" << pid << "did not quit; forcing it";
        ::kill(static_cast<pid_t>(pid), SIGKILL);
        for (int waited = 0; waited < 1000 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)); waited += 20)
            QThread::msleep(20);
    }
    return true;
}

} // namespace vima
