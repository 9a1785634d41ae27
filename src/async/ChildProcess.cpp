#include "async/ChildProcess.h"

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/syscall.h>
#include <unistd.h>

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

bool ChildProcess::startDetached(QProcess &process, std::function<void()> prepare)
{
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    // The program runs in a grandchild that init adopts; the child between
    // ends at once, telling by its status whether the fork worked. Qt's pipe
    // still reports a failed exec from the grandchild.
    inheritStandardOnly(process, [prepare = std::move(prepare)] {
        const pid_t grandchild = ::fork();
        if (grandchild != 0)
            ::_exit(grandchild > 0 ? 0 : 127);
        ::setsid();
        if (prepare)
            prepare();
    });
    process.start();
    if (!process.waitForStarted(-1))
        return false;
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace vima
