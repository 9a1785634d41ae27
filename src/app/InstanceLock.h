#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace vima {

// One running copy per user and display. A new copy asks an older one to quit
// (SIGTERM, which it handles by saving and exiting), waits for it a bounded
// time so that the hotkey grab and the last save are done, and forces it only
// after checking the process really runs this program.
class InstanceLock final {
public:
    // `lockPath`: e.g. $XDG_RUNTIME_DIR/com.vima.Vima-:0.lock.
    explicit InstanceLock(const QString &lockPath);

    static QString defaultLockPath();

    // Ends older copies and takes the lock. Returns whether an older copy was
    // running (a relaunch, which the agent treats as a reopen).
    bool acquire(int waitMilliseconds = 3000);

private:
    bool endHolder(int waitMilliseconds);

    std::unique_ptr<QLockFile> lock_;
};

// The file `pid` runs, also once a rebuild or an upgrade has replaced it on
// disk; empty when there is no such process.
QString executableOf(qint64 pid);

// Whether `pid` runs the same executable as this process.
bool isSameProgram(qint64 pid);

} // namespace vima
