#pragma once

#include <QProcess>
#include <QStringList>
#include <functional>
#include <optional>
#include <sys/types.h>

namespace vima {

// Every program Tavelon starts goes through here: it gets its standard input,
// output and error and nothing else of ours. Descriptors opened without
// close-on-exec (libcurl's internal socket pair, a library's pipe) would
// otherwise live on in it for its whole life.
class ChildProcess {
public:
    // What a program started by `spawn` gets as its descriptors 0-2: one of
    // ours, or one of these.
    static constexpr int inherited = -1;
    static constexpr int nullDevice = -2;
    struct Standard {
        int input = nullDevice;
        int output = inherited;
        int error = inherited;
    };

    // Starts a program that lives on its own (an application, an opener, the
    // clipboard keeper) through posix_spawn: nothing runs on our memory in
    // between. `command` is the program (looked up in PATH when its name has
    // no slash) and its arguments. It runs in a session of its own, with
    // every signal at its default and none blocked, in `workingDirectory`
    // (ours when empty), with `standard` on 0-2 and nothing above. Its pid
    // once it runs, or nothing when it could not be started. It stays our
    // child: see reapWhenExited and childExited in ProcessWait.h.
    static std::optional<pid_t> spawn(const QStringList &command, const QString &workingDirectory,
                                      Standard standard);

    // For a script Tavelon waits on through QProcess (which Qt 6.4 starts
    // with vfork semantics, on our memory while our other threads go on):
    // makes `process` start its program with descriptors 0-2 only.
    // `prepare` runs first in the child, between its start and exec: it may
    // only make async-signal-safe calls (no malloc, no lock, no fork), and
    // may dup2 what the program should get onto 0-2.
    static void inheritStandardOnly(QProcess &process, std::function<void()> prepare = {});
    // Marks every descriptor above 2 close-on-exec. Async-signal-safe.
    static void closeAboveStandardOnExec();
};

} // namespace vima
