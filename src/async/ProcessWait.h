#pragma once

#include <QCoroTask>
#include <QProcess>

namespace vima {

// Resumes once a started process runs (true) or has failed to start (false).
QCoro::Task<bool> processStarted(QProcess &process);

// Resumes when the process has exited (true), or after `seconds` (false);
// a negative time waits as long as it takes. The caller resumes from the
// event loop, never inside the process's own signal, so it may delete it.
QCoro::Task<bool> processFinished(QProcess &process, double seconds = -1);

} // namespace vima
