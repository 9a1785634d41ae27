#pragma once

#include <QCoroTask>
#include <QProcess>
#include <optional>
#include <sys/types.h>

namespace vima {

// Resumes once a started process runs (true) or has failed to start (false).
QCoro::Task<bool> processStarted(QProcess &process);

// Resumes when the process has exited (true), or after `seconds` (false);
// a negative time waits as long as it takes. The caller resumes from the
// event loop, never inside the process's own signal, so it may delete it.
QCoro::Task<bool> processFinished(QProcess &process, double seconds = -1);

// For a child started by ChildProcess::spawn. Resumes with its exit code
// once it has exited (-1 when a signal ended it), or with nothing after
// `seconds`; a negative time waits as long as it takes. Either way it is
// reaped when it exits, from the event loop: nothing blocks on it.
QCoro::Task<std::optional<int>> childExited(pid_t pid, double seconds = -1);
// Reaps such a child when it exits, from the event loop; nobody waits.
void reapWhenExited(pid_t pid);

} // namespace vima
