#pragma once

#include <QString>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace vima::test {

// Runs `check` in a forked child and says how it went: empty when it returned
// true, else why not. A child that blocks past `seconds` or grows past
// `maxMegabytes` resident is killed, so code that hangs or eats memory fails
// the row instead of the test run or the machine. `check` must need no other
// thread of the test program (a forked child has only the calling one).
inline QString inBoundedChild(const std::function<bool()> &check, int seconds = 10, long maxMegabytes = 256)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(check() ? 0 : 1);
    if (child < 0)
        return QStringLiteral("fork failed");
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    for (int waited = 0;; waited += 10) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return {};
            return WIFEXITED(status) ? QStringLiteral("the check failed")
                                     : QStringLiteral("the child died of signal %1").arg(WTERMSIG(status));
        }
        long pages = 0;
        long resident = 0;
        if (FILE *statm = std::fopen(qPrintable(QStringLiteral("/proc/%1/statm").arg(child)), "r")) {
            if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
                resident = 0;
            std::fclose(statm);
        }
        const long megabytes = resident * pageSize / (1024 * 1024);
        QString failure;
        if (megabytes > maxMegabytes)
            failure = QStringLiteral("it grew past %1 MB").arg(maxMegabytes);
        else if (waited > seconds * 1000)
            failure = QStringLiteral("it was still running after %1 s").arg(seconds);
        if (!failure.isEmpty()) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            return failure;
        }
        QThread::msleep(10);
    }
}

} // namespace vima::test
