#pragma once

#include <QProcess>
#include <functional>

namespace vima {

// Every program Tavelon starts goes through here: it gets its standard input,
// output and error and nothing else of ours. Descriptors opened without
// close-on-exec (libcurl's internal socket pair, a library's pipe) would
// otherwise live on in it for its whole life.
class ChildProcess {
public:
    // Makes `process` start its program with descriptors 0-2 only. `prepare`
    // runs first in the child, between fork and exec: it may only make
    // async-signal-safe calls, and may dup2 what the program should get onto 0-2.
    static void inheritStandardOnly(QProcess &process, std::function<void()> prepare = {});
    // Starts `process`'s program on its own, in a session of its own, with
    // standard input empty and our output and error, as
    // QProcess::startDetached does (which in Qt 6.4 runs no child modifier);
    // `prepare` as above, in the program's own process. False when it could
    // not be started. Blocks until the program runs.
    static bool startDetached(QProcess &process, std::function<void()> prepare = {});
    // Marks every descriptor above 2 close-on-exec. Async-signal-safe.
    static void closeAboveStandardOnExec();
};

} // namespace vima
