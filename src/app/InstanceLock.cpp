#include "app/InstanceLock.h"

#include "app/Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace vima {

namespace {

// Held for the life of the copy that runs.
constexpr off_t runningByte = 0;
// Held by one starter at a time, while it ends the copy that runs and takes over.
constexpr off_t startingByte = 1;
// Long enough for a few copies ahead in the queue, each ending the one before.
constexpr int startingWait = 30000;
constexpr int pollInterval = 20;

// POSIX record locks: the kernel names their holder, and a child process
// never inherits them.
struct flock lockOf(short type, off_t byte)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    return lock;
}

bool tryLock(int fd, off_t byte)
{
    struct flock lock = lockOf(F_WRLCK, byte);
    return ::fcntl(fd, F_SETLK, &lock) == 0;
}

bool waitForLock(int fd, off_t byte, int milliseconds)
{
    for (int waited = 0; !tryLock(fd, byte); waited += pollInterval) {
        if (waited >= milliseconds)
            return false;
        QThread::msleep(pollInterval);
    }
    return true;
}

void unlock(int fd, off_t byte)
{
    struct flock lock = lockOf(F_UNLCK, byte);
    ::fcntl(fd, F_SETLK, &lock);
}

// The process that holds `byte`; 0 when none does.
pid_t holderOf(int fd, off_t byte)
{
    struct flock lock = lockOf(F_WRLCK, byte);
    if (::fcntl(fd, F_GETLK, &lock) != 0 || lock.l_type == F_UNLCK)
        return 0;
    return lock.l_pid;
}

} // namespace

InstanceLock::InstanceLock(const QString &lockPath)
    : fd_(::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
{
    if (fd_ < 0)
        qCWarning(lcApp) << "Could not open the instance lock" << lockPath << qt_error_string(errno);
}

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_);
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
    if (fd_ < 0)
        return false;
    if (!waitForLock(fd_, startingByte, startingWait))
        qCWarning(lcApp) << "Another copy is still starting; going on";
    bool ended = false;
    while (!tryLock(fd_, runningByte)) {
        if (errno != EAGAIN && errno != EACCES) {
            qCWarning(lcApp) << "Could not take the instance lock:" << qt_error_string(errno);
            break;
        }
        const pid_t holder = holderOf(fd_, runningByte);
        if (holder != 0 && !endHolder(holder, waitMilliseconds))
            break;
        ended = ended || holder != 0;
    }
    unlock(fd_, startingByte);
    return ended;
}

// Returns whether the holder let go.
bool InstanceLock::endHolder(pid_t holder, int waitMilliseconds)
{
    if (!isSameProgram(holder)) {
        qCWarning(lcApp) << "Lock holder" << holder << "is not this program; leaving it alone";
        return false;
    }
    qCInfo(lcApp) << "Asking the running copy" << holder << "to quit";
    ::kill(holder, SIGTERM);
    // Blocking wait before any service exists: the old copy must let go of the
    // hotkey grab and finish its last save first.
    if (waitForLock(fd_, runningByte, waitMilliseconds))
        return true;
    if (!isSameProgram(holder))
        return true; // gone: its lock went with it, or is about to
    qCWarning(lcApp) << "Running copy" << holder << "did not quit; forcing it";
    ::kill(holder, SIGKILL);
    if (waitForLock(fd_, runningByte, 1000))
        return true;
    qCWarning(lcApp) << "Could not take the instance lock from" << holder;
    return false;
}

} // namespace vima
