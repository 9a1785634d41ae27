#pragma once

#include "actions/ActionOutcome.h"
#include "actions/ActionRun.h"
#include "actions/ScriptRunner.h"
#include "async/CancellationToken.h"
#include "model/Keystroke.h"
#include "model/RingItem.h"
#include "platform/RunningApplication.h"

#include <QCoroTask>
#include <QObject>
#include <exception>
#include <functional>
#include <optional>

namespace vima {

// Runs the item that the ring hands over against the application that was in
// front before it opened. Owns the one action in flight, publishes its busy
// text and turns results and failures into outcomes.
class ActionRunner : public QObject {
    Q_OBJECT

public:
    using Target = std::optional<RunningApplication>;
    // The road of `ai` items, installed by the composition root.
    using AIRoad = std::function<QCoro::Task<void>(const ActionRun &run, AIPayload payload,
                                                   RingItem item, Target target)>;
    // Sends a keystroke slot's keys to its application's window; installed by
    // the composition root. Without it keystroke slots run as AppleScript.
    using KeystrokeRoad = std::function<QCoro::Task<void>(const ActionRun &run, Keystroke keystroke,
                                                          RingItem item, Target target)>;
    // Writes a shown result into its application; installed with the AI road.
    using ReplaceRoad = std::function<QCoro::Task<void>(const ActionRun &run, ActionOutcome outcome)>;

    explicit ActionRunner(ScriptRunner &scripts, QObject *parent = nullptr);

    void run(const RingItem &item, const Target &target);
    // The result panel's Replace Selection: a run like any other, so it shows
    // the busy indicator, can be cancelled, and gives way to a new action.
    void replace(const ActionOutcome &outcome);
    void cancel();

    std::optional<QString> busyMessage() const { return busyMessage_; }

    // Installed by the composition root.
    std::function<void(const ActionOutcome &)> present;
    // Cancelling `token` withdraws the question.
    std::function<QCoro::Task<std::optional<QString>>(QString question, CancellationToken token)> requestInput;
    AIRoad runAI;
    KeystrokeRoad runKeystroke;
    ReplaceRoad runReplace;
    // Whether a result can be pasted into its application's window; installed
    // with the replace road.
    std::function<bool(const RunningApplication &target)> takesPaste;
    // Posts "com.vima.Vima.openSettings" with no tab.
    std::function<void()> postOpenSettings;
    // Opens the Permissions tab, which says what reading the selection lacks.
    std::function<void()> openPermissions;

    // Where its window takes no paste, Replace Selection could only fail: the
    // outcome is offered to copy, with a note that the user pastes `what`
    // there. Returns whether it was.
    bool offerToCopyOnly(ActionOutcome &outcome, const QString &what) const;

    // The failure outcome for an error thrown by a road.
    ActionOutcome failureOutcome(std::exception_ptr error, const QString &title) const;

Q_SIGNALS:
    void busyMessageChanged(const std::optional<QString> &message);

private:
    friend class ActionRun;

    using Work = std::function<QCoro::Task<void>(const ActionRun &run)>;

    ActionRun begin();
    QCoro::Task<void> execute(QString title, ActionRun run, Work work);
    QCoro::Task<void> perform(const RingItem &item, const Target &target, const ActionRun &run);
    QCoro::Task<void> open(QString target, QString title);
    QCoro::Task<void> runShell(const ShellPayload &payload, const RingItem &item, const Target &target,
                               const ActionRun &run);
    QCoro::Task<void> runAppleScript(const AppleScriptPayload &payload, const RingItem &item,
                                     const Target &target, const ActionRun &run);
    std::optional<RecoveryAction> recoveryActionFor(std::exception_ptr error) const;

    void setBusyMessage(const std::optional<QString> &message);
    bool isCurrent(quint64 id, const CancellationToken &token) const;

    ScriptRunner &scripts_;
    std::optional<QString> busyMessage_;
    CancellationToken currentToken_;
    quint64 currentRun_ = 0;
    quint64 nextRun_ = 1;
};

} // namespace vima
