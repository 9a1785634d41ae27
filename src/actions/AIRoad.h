#pragma once

#include "actions/ActionOutcome.h"
#include "actions/ActionRun.h"
#include "actions/ActionRunner.h"
#include "model/ItemAction.h"
#include "model/RingItem.h"
#include "model/Settings.h"

#include <QCoroTask>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace vima {

class ClipboardLane;
class LLMService;
class Pasteboard;
class SelectionService;
class TextInjector;

// What the runner does with an `ai` item: checks the permission and that a
// provider can run, reads the selection, asks the prompt's questions, fills
// in the prompt, asks the AI service and writes the answer back or shows it.
// Installs itself as the runner's AI road; it must outlive the runner's work.
class AIRoad {
public:
    using Target = ActionRunner::Target;

    struct Collaborators {
        SelectionService &selection;
        TextInjector &injector;
        LLMService &llm;
        // Read for the {{clipboard}} token, once no other action holds it.
        Pasteboard &pasteboard;
        ClipboardLane &clipboardLane;
        // The current configuration's settings, read at the moment they are needed.
        std::function<AISettings()> aiSettings;
        std::function<SelectionSettings()> selectionSettings;
        std::function<bool()> isAccessibilityTrusted;
        // The button of the needs-Accessibility outcome: the Permissions tab.
        std::function<void()> openPermissions;
        // Readies the providers before a run: their keys are read on first use.
        std::function<QCoro::Task<void>()> prepare;
    };

    AIRoad(ActionRunner &runner, Collaborators collaborators);

    QCoro::Task<void> run(const ActionRun &run, AIPayload payload, RingItem item, Target target);
    // Writes a shown outcome's body into its target, as the runner's replace road.
    QCoro::Task<void> replace(const ActionRun &run, ActionOutcome outcome);

    // Past this many characters an answer is shown, never pasted.
    static constexpr qsizetype largestPaste = 256 * 1024;
    // Why `answer` must not replace a selection: too long, or not plain text
    // (control characters a terminal would act on, or that show text in
    // another order than it is); none when it may.
    static std::optional<QString> pasteRefusal(const QString &answer);
    // What an answer that stopped at `maxTokens` is shown with: that it may
    // be cut short, whether the selection was kept, and where to raise the limit.
    static QString cutShortNote(qint64 maxTokens, bool selectionKept);

    ActionOutcome needsAccessibilityOutcome(const QString &title) const;
    ActionOutcome noProviderOutcome(const QString &title, const AISettings &settings) const;

private:
    QCoro::Task<std::optional<QHash<QString, QString>>> askQuestions(QStringList questions,
                                                                      const ActionRun &run);
    QCoro::Task<QString> expand(QString prompt, QString selected, Target target,
                                QHash<QString, QString> answers, CancellationToken token);
    // Shown again with the paste's failure as its hint when it can't be written.
    QCoro::Task<void> writeBack(const ActionRun &run, ActionOutcome answer);

    ActionRunner &runner_;
    Collaborators c_;
};

} // namespace vima
