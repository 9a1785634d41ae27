#include "actions/ScriptRunner.h"

#include "actions/ActionError.h"
#include "actions/BoundedOutput.h"
#include "actions/Logging.h"
#include "actions/ProcessGroup.h"
#include "async/Cancelled.h"
#include "async/ProcessWait.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QUrl>

namespace vima {
namespace {

const QString defaultShell = QStringLiteral("/bin/zsh");

QString expandTilde(const QString &path)
{
    if (path == QLatin1String("~"))
        return QDir::homePath();
    if (path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

QString existingPath(const QString &path)
{
    const QString expanded = expandTilde(path);
    if (!QFileInfo::exists(expanded))
        throw ActionError::notFound(QStringLiteral("Nothing at %1.").arg(expanded));
    return expanded;
}

// Cancelled, or the runner went with its groups meanwhile (the application quits).
void throwIfEnded(const CancellationToken &token, const QPointer<ProcessGroup> &group)
{
    token.throwIfCancelled();
    if (!group)
        throw Cancelled();
}

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

ScriptRunner::ScriptRunner(const ApplicationCatalog &catalog, ApplicationLauncher &launcher, DesktopOpener &opener,
                           AppleScriptEngine &appleScript, Scheduler &scheduler)
    : catalog_(catalog), launcher_(launcher), opener_(opener), appleScript_(appleScript), scheduler_(scheduler)
{
}

// The groups go with `groups_`, each ended as it is destroyed.
ScriptRunner::~ScriptRunner() = default;

QCoro::Task<void> ScriptRunner::launchApp(std::optional<QString> bundleID, std::optional<QString> path)
{
    if (bundleID && !bundleID->isEmpty()) {
        const auto app = catalog_.find(*bundleID);
        if (!app)
            throw ActionError::notFound(QStringLiteral("No installed app with desktop ID “%1”.").arg(*bundleID));
        co_await launcher_.launch(*app);
        co_return;
    }
    if (path && !path->isEmpty()) {
        co_await launcher_.launchPath(existingPath(*path));
        co_return;
    }
    throw ActionError::emptyPayload(QStringLiteral("app"));
}

QCoro::Task<void> ScriptRunner::open(QString target)
{
    const QString trimmed = target.trimmed();
    if (trimmed.isEmpty())
        throw ActionError::emptyPayload(QStringLiteral("target"));
    if (trimmed.startsWith(u'/') || trimmed.startsWith(u'~')) {
        co_await opener_.open(QUrl::fromLocalFile(existingPath(trimmed)));
        co_return;
    }
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        throw ActionError::notFound(QStringLiteral("“%1” isn't a valid URL or path.").arg(trimmed));
    co_await opener_.open(url);
}

std::optional<QString> ScriptRunner::resolveShell(const QString &shell)
{
    const QString wanted = shell.isEmpty() ? defaultShell : shell;
    if (isExecutableFile(wanted))
        return wanted;
    // Only the default stands for "a shell": a named one has its own syntax.
    if (wanted != defaultShell)
        return std::nullopt;
    for (const QString &candidate : {qEnvironmentVariable("SHELL"), QStringLiteral("/bin/sh")}) {
        if (!candidate.isEmpty() && isExecutableFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

QCoro::Task<QString> ScriptRunner::runShell(QString script, QString shell, CancellationToken token)
{
    const QString trimmed = script.trimmed();
    if (trimmed.isEmpty())
        throw ActionError::emptyPayload(QStringLiteral("shell script"));
    const auto resolved = resolveShell(shell);
    if (!resolved) {
        throw ActionError::scriptFailed(QStringLiteral("Shell not found or not executable: %1")
                                            .arg(shell.isEmpty() ? defaultShell : shell));
    }
    if (*resolved != (shell.isEmpty() ? defaultShell : shell))
        qCInfo(lcScriptRunner, "%s is not installed; running with %s", qUtf8Printable(defaultShell),
               qUtf8Printable(*resolved));
    co_return co_await runProcess(*resolved, trimmed, std::move(token));
}

QCoro::Task<QString> ScriptRunner::runProcess(QString shell, QString script, CancellationToken token)
{
    token.throwIfCancelled();
    BoundedOutput output;
    const QPointer<ProcessGroup> group = new ProcessGroup(scheduler_, &groups_);
    const auto release = qScopeGuard([group] {
        if (group)
            group->release();
    });
    // Read as it comes: a script that prints without end must not fill memory.
    group->onOutput = [&output](QByteArrayView chunk) { output.append(chunk); };
    group->start(shell, {QStringLiteral("-l"), QStringLiteral("-c"), script});
    const auto ending = token.onCancel([group] {
        if (group)
            group->end();
    });
    const auto forget = qScopeGuard([token, ending] { token.removeCallback(ending); });
    const bool started = co_await processStarted(group->process());
    throwIfEnded(token, group);
    if (!started)
        throw ActionError::scriptFailed(group->process().errorString());
    // Ends when the shell exits, even while a child it left in the background
    // still holds the output pipe.
    co_await processFinished(group->process());
    throwIfEnded(token, group);
    group->drain();
    // Invalid UTF-8 is decoded with replacement characters rather than dropped.
    const QString text = output.text();
    const QProcess &process = group->process();
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        co_return text;
    const QString trimmed = text.trimmed();
    if (!trimmed.isEmpty())
        throw ActionError::scriptFailed(trimmed);
    throw ActionError::scriptFailed(QStringLiteral("Exited with status %1.").arg(process.exitCode()));
}

QString ScriptRunner::runAppleScript(const QString &source)
{
    const QString trimmed = source.trimmed();
    if (trimmed.isEmpty())
        throw ActionError::emptyPayload(QStringLiteral("AppleScript"));
    const AppleScriptEngine::Result result = appleScript_.execute(trimmed);
    switch (result.status) {
    case AppleScriptEngine::Result::Status::succeeded:
        return result.text;
    case AppleScriptEngine::Result::Status::notCompiled:
        throw ActionError::scriptFailed(QStringLiteral("Could not compile the script."));
    case AppleScriptEngine::Result::Status::failed:
        break;
    }
    const QString message = result.text.isEmpty() ? QStringLiteral("Unknown script error.") : result.text;
    qCCritical(lcScriptRunner, "AppleScript failed: %s", qUtf8Printable(message));
    throw ActionError::scriptFailed(message);
}

} // namespace vima
