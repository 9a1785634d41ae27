#include "actions/ActionRunner.h"

#include "actions/ActionError.h"
#include "actions/ErrorDescription.h"
#include "actions/Logging.h"
#include "actions/SelectionError.h"
#include "actions/TextFunctions.h"
#include "async/Cancelled.h"
#include "platform/MissingFileManager.h"

namespace vima {
namespace {

bool isCancellation(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Cancelled &) {
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

ActionRunner::ActionRunner(ScriptRunner &scripts, QObject *parent) : QObject(parent), scripts_(scripts) {}

ActionRun ActionRunner::begin()
{
    currentToken_.cancel();
    currentToken_ = CancellationToken();
    currentRun_ = nextRun_++;
    // The replaced run may no longer clear its own busy text.
    setBusyMessage(std::nullopt);
    return ActionRun(this, currentRun_, currentToken_);
}

void ActionRunner::run(const RingItem &item, const Target &target)
{
    // Destroying the task does not stop it; it ends on its own.
    execute(item.title, begin(),
            [this, item, target](const ActionRun &run) { return perform(item, target, run); });
}

void ActionRunner::replace(const ActionOutcome &outcome)
{
    const ActionRun run = begin();
    if (runReplace)
        execute(outcome.title, run, [road = runReplace, outcome](const ActionRun &run) { return road(run, outcome); });
}

void ActionRunner::cancel()
{
    currentToken_.cancel();
    currentRun_ = 0;
    setBusyMessage(std::nullopt);
}

bool ActionRunner::isCurrent(quint64 id, const CancellationToken &token) const
{
    return id == currentRun_ && !token.isCancelled();
}

void ActionRunner::setBusyMessage(const std::optional<QString> &message)
{
    if (busyMessage_ == message)
        return;
    busyMessage_ = message;
    Q_EMIT busyMessageChanged(message);
}

QCoro::Task<void> ActionRunner::execute(QString title, ActionRun run, Work work)
{
    // The task must not outlive the runner's use: every later touch goes
    // through `run`, which holds the runner weakly.
    std::exception_ptr failure;
    try {
        co_await work(run);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!failure || isCancellation(failure) || !run.isCurrent())
        co_return;
    run.setBusy(std::nullopt);
    run.present(failureOutcome(failure, title));
}

QCoro::Task<void> ActionRunner::perform(const RingItem &item, const Target &target, const ActionRun &run)
{
    switch (item.action.kind()) {
    case ItemAction::Kind::launchApp: {
        const auto &payload = std::get<LaunchAppPayload>(item.action.payload);
        co_await scripts_.launchApp(payload.bundleID, payload.path);
        break;
    }
    case ItemAction::Kind::open:
        co_await open(std::get<OpenPayload>(item.action.payload).target, item.title);
        break;
    case ItemAction::Kind::shell:
        co_await runShell(std::get<ShellPayload>(item.action.payload), item, target, run);
        break;
    case ItemAction::Kind::appleScript:
        co_await runAppleScript(std::get<AppleScriptPayload>(item.action.payload), item, target, run);
        break;
    case ItemAction::Kind::ai:
        if (!runAI)
            throw ActionError::notFound(QStringLiteral("AI actions aren't available in this build."));
        co_await runAI(run, std::get<AIPayload>(item.action.payload), item, target);
        break;
    case ItemAction::Kind::openRing:
        qCCritical(lcActionRunner, "openRing reached ActionRunner; navigation should be handled by the ring");
        break;
    }
}

QCoro::Task<void> ActionRunner::open(QString target, QString title)
{
    try {
        co_await scripts_.open(target);
    } catch (const MissingFileManager &) {
        // Named as the other built-in actions name what they lack.
        throw MissingFileManager(title);
    }
}

QCoro::Task<void> ActionRunner::runShell(const ShellPayload &payload, const RingItem &item,
                                         const Target &target, const ActionRun &run)
{
    const BusyText busy(run, QStringLiteral("Running %1…").arg(item.title));
    const QString output = co_await scripts_.runShell(payload.script, payload.shell, run.token());
    if (payload.showOutput) {
        ActionOutcome outcome{item.title, orPlaceholder(output, QStringLiteral("(no output)")),
                              ActionOutcome::Style::success, target, std::nullopt, std::nullopt, false};
        offerToCopyOnly(outcome, QStringLiteral("output"));
        run.present(outcome);
    }
}

QCoro::Task<void> ActionRunner::runAppleScript(const AppleScriptPayload &payload, const RingItem &item,
                                               const Target &target, const ActionRun &run)
{
    const BusyText busy(run, QStringLiteral("Running %1…").arg(item.title));
    // The keystroke form runs here without AppleScript; it has no result.
    QString result;
    const std::optional<Keystroke> keystroke = Keystroke::parse(payload.source.trimmed());
    if (keystroke && runKeystroke)
        co_await runKeystroke(run, *keystroke, item, target);
    else
        result = scripts_.runAppleScript(payload.source);
    if (payload.showOutput) {
        ActionOutcome outcome{item.title, orPlaceholder(result, QStringLiteral("(no result)")),
                              ActionOutcome::Style::success, target, std::nullopt, std::nullopt, false};
        offerToCopyOnly(outcome, QStringLiteral("result"));
        run.present(outcome);
    }
}

bool ActionRunner::offerToCopyOnly(ActionOutcome &outcome, const QString &what) const
{
    if (!outcome.replaceTarget || !takesPaste || takesPaste(*outcome.replaceTarget))
        return false;
    const QString name = outcome.replaceTarget->name.trimmed();
    const QString window = name.isEmpty() ? QStringLiteral("that window") : QStringLiteral("the %1 window").arg(name);
    const QString note =
        QStringLiteral("Tavelon can't paste into %1: copy the %2 and paste it there yourself.").arg(window, what);
    outcome.recovery = outcome.recovery ? *outcome.recovery + QLatin1Char('\n') + note : note;
    outcome.replaceTarget.reset();
    return true;
}

ActionOutcome ActionRunner::failureOutcome(std::exception_ptr error, const QString &title) const
{
    const ErrorDescription described = ErrorDescription::of(error);
    logActionFailure(title, described.message);
    return {title,          described.message,         ActionOutcome::Style::failure, std::nullopt,
            described.recovery, recoveryActionFor(error), false};
}

std::optional<RecoveryAction> ActionRunner::recoveryActionFor(std::exception_ptr error) const
{
    try {
        std::rethrow_exception(error);
    } catch (const SelectionError &e) {
        if (e.kind() == SelectionError::Kind::selectionNotShared && postOpenSettings)
            return RecoveryAction{QStringLiteral("Open Settings"), postOpenSettings};
        if (e.kind() == SelectionError::Kind::notPermitted && openPermissions)
            return RecoveryAction{QStringLiteral("Open Permissions"), openPermissions};
    } catch (...) {
    }
    return std::nullopt;
}

} // namespace vima
