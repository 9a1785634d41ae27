#pragma once

#include "async/CancellationToken.h"
#include "async/Scheduler.h"
#include "platform/AppleScriptEngine.h"
#include "platform/ApplicationCatalog.h"
#include "platform/ApplicationLauncher.h"
#include "platform/DesktopOpener.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <optional>

namespace vima {

// The executors behind launch, open, shell and AppleScript items. Failures are
// thrown as ActionError (or PlatformError from the desktop); nothing here
// touches the interface.
class ScriptRunner {
public:
    // `scheduler` times the grace between ending a script and forcing it.
    ScriptRunner(const ApplicationCatalog &catalog, ApplicationLauncher &launcher, DesktopOpener &opener,
                 AppleScriptEngine &appleScript, Scheduler &scheduler = Scheduler::system());
    // Ends the process group of every script still running.
    ~ScriptRunner();

    QCoro::Task<void> launchApp(std::optional<QString> bundleID, std::optional<QString> path);
    QCoro::Task<void> open(QString target);
    // The output of the script (standard output and error interleaved), untrimmed;
    // past 256 KB only a closing line says how much more there was.
    // Cancelling `token` ends the script and everything it started, and
    // throws Cancelled once the shell has gone.
    QCoro::Task<QString> runShell(QString script, QString shell, CancellationToken token = {});
    QString runAppleScript(const QString &source);

    // The shell a slot's path stands for: itself when installed; for the
    // default "/bin/zsh" (or none) that isn't, the user's login shell, else
    // /bin/sh. Nothing when none of them runs.
    static std::optional<QString> resolveShell(const QString &shell);

private:
    QCoro::Task<QString> runProcess(QString shell, QString script, CancellationToken token);

    const ApplicationCatalog &catalog_;
    ApplicationLauncher &launcher_;
    DesktopOpener &opener_;
    AppleScriptEngine &appleScript_;
    Scheduler &scheduler_;
    // Parent of the running scripts' process groups.
    QObject groups_;
};

} // namespace vima
