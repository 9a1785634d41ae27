#pragma once

#include <QString>
#include <sys/types.h>

namespace vima {

// One running copy per user and display, kept by kernel locks on a file that
// is never removed: they go with the process, so no starter ever takes a live
// copy's lock for a stale one. A new copy asks the one that runs to quit
// (SIGTERM, which it handles by saving and exiting), waits for it a bounded
// time so that the hotkey grab and the last save are done, and forces it only
// after checking the process really runs this program. Starters take turns,
// so copies started together leave exactly one: the last to get its turn.
class InstanceLock final {
public:
    // `lockPath`: e.g. $XDG_RUNTIME_DIR/com.vima.Vima-:0.lock.
    explicit InstanceLock(const QString &lockPath);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    static QString defaultLockPath();

    // Ends the copy that runs and takes the lock. Returns whether a copy was
    // running (a relaunch, which the agent treats as a reopen).
    bool acquire(int waitMilliseconds = 3000);

private:
    bool endHolder(pid_t holder, int waitMilliseconds);

    int fd_ = -1;
};

// The file `pid` runs, also once a rebuild or an upgrade has replaced it on
// disk; empty when there is no such process.
QString executableOf(qint64 pid);

// Whether `pid` runs the same executable as this process.
bool isSameProgram(qint64 pid);

} // namespace vima
