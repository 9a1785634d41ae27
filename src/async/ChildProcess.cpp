#include "async/ChildProcess.h"

#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <linux/close_range.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace vima {
namespace {

// Close-on-exec rather than closed: Qt's own pipe, which tells the parent
// whether the exec worked, must stay open until the exec.
void markOnExec(int descriptor)
{
    const int flags = ::fcntl(descriptor, F_GETFD);
    if (flags >= 0 && !(flags & FD_CLOEXEC))
        ::fcntl(descriptor, F_SETFD, flags | FD_CLOEXEC);
}

// Kernels before 5.11: walk /proc/self/fd with raw system calls, since
// opendir may allocate.
bool markListedOnExec()
{
    const int directory = ::open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0)
        return false;
    alignas(dirent64) char buffer[4096];
    long read = 0;
    while ((read = ::syscall(SYS_getdents64, directory, buffer, sizeof buffer)) > 0) {
        for (long offset = 0; offset < read;) {
            const auto *entry = reinterpret_cast<const dirent64 *>(buffer + offset);
            offset += entry->d_reclen;
            int descriptor = 0;
            const char *digit = entry->d_name;
            for (; *digit >= '0' && *digit <= '9' && descriptor < INT_MAX / 10; ++digit)
                descriptor = descriptor * 10 + (*digit - '0');
            if (*digit == '\0' && digit != entry->d_name && descriptor > STDERR_FILENO && descriptor != directory)
                markOnExec(descriptor);
        }
    }
    ::close(directory);
    return read == 0;
}

void give(posix_spawn_file_actions_t &actions, int descriptor, int standard, int openFlags)
{
    if (descriptor == ChildProcess::nullDevice)
        posix_spawn_file_actions_addopen(&actions, standard, "/dev/null", openFlags, 0);
    else if (descriptor != ChildProcess::inherited)
        posix_spawn_file_actions_adddup2(&actions, descriptor, standard);
}

// A Ctrl+C meant for our terminal, or a signal we ignore or block, leaves it
// as any program.
void setOnItsOwn(posix_spawnattr_t &attributes)
{
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attributes, &signals);
}

} // namespace

void ChildProcess::closeAboveStandardOnExec()
{
    const int saved = errno;
    if (::syscall(SYS_close_range, STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC) != 0 && !markListedOnExec()) {
        const long most = ::sysconf(_SC_OPEN_MAX);
        for (long descriptor = STDERR_FILENO + 1; descriptor < most && descriptor <= INT_MAX; ++descriptor)
            markOnExec(int(descriptor));
    }
    errno = saved;
}

void ChildProcess::inheritStandardOnly(QProcess &process, std::function<void()> prepare)
{
    process.setChildProcessModifier([prepare = std::move(prepare)] {
        if (prepare)
            prepare();
        closeAboveStandardOnExec();
    });
}

std::optional<pid_t> ChildProcess::spawn(const QStringList &command, const QString &workingDirectory,
                                         Standard standard)
{
    if (command.isEmpty() || command.first().isEmpty())
        return std::nullopt;
    // Looked up here, as QProcess does: PATH as we read it, before the
    // working directory changes.
    const QString program = command.first().contains(u'/') ? command.first()
                                                           : QStandardPaths::findExecutable(command.first());
    if (program.isEmpty())
        return std::nullopt;
    QList<QByteArray> encoded;
    for (const QString &argument : command)
        encoded.append(QFile::encodeName(argument));
    std::vector<char *> arguments;
    for (QByteArray &argument : encoded)
        arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    const QByteArray path = QFile::encodeName(program);
    const QByteArray directory = QFile::encodeName(workingDirectory);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    give(actions, standard.input, STDIN_FILENO, O_RDONLY);
    give(actions, standard.output, STDOUT_FILENO, O_WRONLY);
    give(actions, standard.error, STDERR_FILENO, O_WRONLY);
    if (!directory.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, directory.constData());
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    setOnItsOwn(attributes);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, path.constData(), &actions, &attributes, arguments.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed)
        return std::nullopt;
    return pid;
}

} // namespace vima
