#include "actions/AIRoad.h"

#include "actions/ClipboardLane.h"
#include "actions/ErrorDescription.h"
#include "actions/Logging.h"
#include "actions/PromptVariables.h"
#include "actions/SelectionService.h"
#include "actions/TextInjector.h"
#include "ai/LLMService.h"
#include "async/Cancelled.h"
#include "platform/Pasteboard.h"
#include "platform/PlatformError.h"

#include <QScopeGuard>
#include <algorithm>

namespace vima {
namespace {

const QString languageToken = QStringLiteral("{{language}}");

// Only whether some provider could run at all; an item that needs a strong
// model may go to a cloud provider that the others may not, and one that
// names its own model is ready where that model is.
AIPayload routingPayload(const AIPayload &payload)
{
    return AIPayload{QString(), ResultHandling::showPopover, std::nullopt, payload.modelOverride,
                     payload.needsStrongModel};
}

QString withLanguage(QString prompt, const std::optional<QString> &language)
{
    // Done once, before the expansion, so a language is never read as a token.
    if (language && !language->isEmpty())
        prompt.replace(languageToken, *language);
    return prompt;
}

// The note of a fallback stays in front: it says who wrote the answer.
QString afterNote(const std::optional<QString> &note, const QString &text)
{
    return note ? *note + QLatin1Char('\n') + text : text;
}

} // namespace

AIRoad::AIRoad(ActionRunner &runner, Collaborators collaborators)
    : runner_(runner), c_(std::move(collaborators))
{
    runner_.runAI = [this](const ActionRun &run, AIPayload payload, RingItem item, Target target) {
        return this->run(run, std::move(payload), std::move(item), std::move(target));
    };
    runner_.runReplace = [this](const ActionRun &run, ActionOutcome outcome) {
        return replace(run, std::move(outcome));
    };
    runner_.takesPaste = [this](const RunningApplication &target) { return c_.injector.takesPaste(target); };
}

QCoro::Task<void> AIRoad::run(const ActionRun &run, AIPayload payload, RingItem item, Target target)
{
    const auto clearBusy = qScopeGuard([&run] { run.setBusy(std::nullopt); });
    const CancellationToken token = run.token();

    if (!c_.isAccessibilityTrusted()) {
        run.present(needsAccessibilityOutcome(item.title));
        co_return;
    }
    co_await c_.prepare();
    const AISettings settings = c_.aiSettings();
    const QList<LLMProviderKind> candidates =
        co_await c_.llm.freshCandidates(routingPayload(payload), settings, token);
    if (candidates.isEmpty()) {
        const ActionOutcome outcome = noProviderOutcome(item.title, settings);
        logActionFailure(item.title, outcome.body);
        run.present(outcome);
        co_return;
    }

    run.setBusy(QStringLiteral("Reading selection…"));
    const QString selected =
        co_await c_.selection.capture(target, c_.selectionSettings().clipboardFallback, token);
    token.throwIfCancelled();

    const QString prompt = withLanguage(payload.systemPrompt, payload.targetLanguage);
    const std::optional<QHash<QString, QString>> answers =
        co_await askQuestions(PromptVariables::askPrompts(prompt), run);
    if (!answers)
        co_return;
    payload.systemPrompt = co_await expand(prompt, selected, target, *answers, token);

    run.setBusy(item.title + QStringLiteral("…"));
    const AISettings asked = c_.aiSettings();
    const LLMService::Completion completion = co_await c_.llm.complete(payload, selected, asked, token);
    token.throwIfCancelled();

    ActionOutcome answer{item.title, completion.text, ActionOutcome::Style::success, target,
                         completion.fallbackNote, std::nullopt, true};
    const bool replacing = payload.resultHandling == ResultHandling::replaceSelection;
    if (completion.truncated) {
        // Written over the selection, a cut answer would lose the end of the
        // user's text without a word: it is shown, with Replace Selection
        // for a user who wants it anyway.
        qCInfo(lcActionRunner, "The answer stopped at the limit of %lld tokens; shown in the panel",
               qlonglong(asked.maxTokens));
        answer.recovery = afterNote(answer.recovery, cutShortNote(asked.maxTokens, replacing));
    }
    // Where no paste can work, nothing is tried.
    const bool copyOnly = runner_.offerToCopyOnly(answer, QStringLiteral("answer"));
    if (replacing && !completion.truncated && !copyOnly)
        co_await writeBack(run, answer);
    else
        run.present(answer);
}

QCoro::Task<void> AIRoad::replace(const ActionRun &run, ActionOutcome outcome)
{
    const BusyText busy(run, QStringLiteral("Replacing selection…"));
    // The hint shown with it before was about the earlier attempt.
    outcome.recovery.reset();
    outcome.recoveryAction.reset();
    co_await writeBack(run, std::move(outcome));
}

QCoro::Task<std::optional<QHash<QString, QString>>> AIRoad::askQuestions(QStringList questions,
                                                                          const ActionRun &run)
{
    QHash<QString, QString> answers;
    // Copied: the question's await must not depend on the runner's member.
    const auto requestInput = runner_.requestInput;
    if (!requestInput || questions.isEmpty())
        co_return answers;
    run.setBusy(std::nullopt);
    for (qsizetype index = 0; index < questions.size(); ++index) {
        const std::optional<QString> answer = co_await requestInput(questions.at(index), run.token());
        if (!answer) {
            // The question is part of the user's prompt: only its place is logged.
            qCDebug(lcActionRunner, "Action cancelled at prompt %lld of %lld", qlonglong(index + 1),
                    qlonglong(questions.size()));
            co_return std::nullopt;
        }
        answers.insert(questions.at(index), *answer);
        run.token().throwIfCancelled();
    }
    co_return answers;
}

QCoro::Task<QString> AIRoad::expand(QString prompt, QString selected, Target target,
                                    QHash<QString, QString> answers, CancellationToken token)
{
    PromptVariables::Values values;
    values.selection = std::move(selected);
    values.appName = target ? target->name : QString();
    values.answers = std::move(answers);
    if (PromptVariables::needsClipboard(prompt)) {
        // Meanwhile another action's answer may stand in for the user's clipboard.
        const ClipboardLane::Hold hold = co_await c_.clipboardLane.take(token);
        const SelectionRead<QString> clipboard = co_await c_.pasteboard.text(token);
        if (clipboard.status == SelectionRead<QString>::Status::tooLarge)
            throw PlatformError(QStringLiteral("The text on the clipboard is larger than %1 MB, so Tavelon sent "
                                               "nothing.")
                                    .arg(largestSelectionTextMB));
        values.clipboard = clipboard.value.value_or(QString());
    }
    co_return PromptVariables::expand(prompt, values);
}

QString AIRoad::cutShortNote(qint64 maxTokens, bool selectionKept)
{
    return QStringLiteral("The answer stopped at the limit of %L1 output tokens and may be cut short%2. Raise "
                          "Max output tokens in Settings → AI → Advanced for longer answers.")
        .arg(maxTokens)
        .arg(selectionKept ? QStringLiteral(", so your selection was left as it was") : QString());
}

std::optional<QString> AIRoad::pasteRefusal(const QString &answer)
{
    if (answer.size() > largestPaste)
        return QStringLiteral("The answer is too long to paste (%L1 characters), so your selection was left as it was.")
            .arg(answer.size());
    const bool control = std::any_of(answer.cbegin(), answer.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        // C0 but tab and line breaks, DEL, C1, and the bidirectional
        // overrides and isolates.
        return (u < 0x20 && c != u'\n' && c != u'\t' && c != u'\r') || (u >= 0x7f && u <= 0x9f)
               || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
    });
    if (control)
        return QStringLiteral("The answer holds control characters, so your selection was left as it was.");
    return std::nullopt;
}

QCoro::Task<void> AIRoad::writeBack(const ActionRun &run, ActionOutcome answer)
{
    if (const auto refusal = pasteRefusal(answer.body)) {
        answer.recovery = afterNote(answer.recovery, *refusal);
        answer.replaceTarget.reset();
        run.present(answer);
        co_return;
    }
    std::exception_ptr failure;
    try {
        co_await c_.injector.replace(answer.replaceTarget, answer.body, run.token());
    } catch (const Cancelled &) {
        throw;
    } catch (...) {
        failure = std::current_exception();
    }
    // Cancelled while the answer was being written: whatever came of the
    // write, the user has moved on.
    run.token().throwIfCancelled();

    if (!failure) {
        // After a fallback the user learns who answered; the answer is
        // already in place, so it is offered to copy, not to write again.
        if (answer.recovery) {
            answer.recovery = afterNote(answer.recovery, QStringLiteral("It has replaced your selection."));
            answer.replaceTarget.reset();
            answer.replaced = true;
            run.present(answer);
        }
        co_return;
    }
    const QString reason = ErrorDescription::of(failure).message;
    qCCritical(lcActionRunner, "Replace failed, falling back to popover: %s", qUtf8Printable(reason));
    answer.recovery = afterNote(answer.recovery, QStringLiteral("Couldn't paste automatically: ") + reason);
    run.present(answer);
}

ActionOutcome AIRoad::needsAccessibilityOutcome(const QString &title) const
{
    std::optional<RecoveryAction> button;
    if (c_.openPermissions)
        button = RecoveryAction{QStringLiteral("Open Permissions"), c_.openPermissions};
    return {title,
            QStringLiteral("Tavelon needs an X11 session with XTest to read the text you have selected."),
            ActionOutcome::Style::failure,
            std::nullopt,
            QStringLiteral("Start Tavelon in an X11 session whose X server has the XTest extension, then try again."),
            button,
            false};
}

ActionOutcome AIRoad::noProviderOutcome(const QString &title, const AISettings &settings) const
{
    std::optional<RecoveryAction> button;
    if (runner_.postOpenSettings)
        button = RecoveryAction{QStringLiteral("Open Settings"), runner_.postOpenSettings};
    return {title,
            c_.llm.noProviderDetail(settings),
            ActionOutcome::Style::failure,
            std::nullopt,
            LLMService::noProviderRecovery(),
            button,
            false};
}

} // namespace vima
