#include "actions/KeystrokeRoad.h"

#include "actions/ActionError.h"
#include "actions/BringForward.h"
#include "actions/SelectionError.h"
#include "platform/PlatformError.h"

namespace vima {
namespace {

// The pause the stored script makes between activating and typing.
constexpr double activationSettle = 0.05;

bool isFor(const RunningApplication &app, const Keystroke &keystroke)
{
    return keystroke.byName ? app.name == keystroke.application : app.bundleID == keystroke.application;
}

} // namespace

KeystrokeRoad::KeystrokeRoad(ActionRunner &runner, DesktopAccess desktop) : desktop_(desktop)
{
    runner.runKeystroke = [this](const ActionRun &run, Keystroke keystroke, RingItem item, Target target) {
        return this->run(run, std::move(keystroke), std::move(item), std::move(target));
    };
}

QCoro::Task<void> KeystrokeRoad::run(const ActionRun &run, Keystroke keystroke, RingItem item, Target target)
{
    if (!desktop_.accessibility.isTrusted())
        throw SelectionError::notPermitted();
    if (!target || !isFor(*target, keystroke)) {
        throw ActionError::notFound(QStringLiteral("“%1” sends its keys to “%2”, which wasn't in front when the "
                                                   "ring opened, so Tavelon sent nothing.")
                                        .arg(item.title, keystroke.application));
    }
    const bool inFront = co_await bringForward(desktop_, *target, activationSettle, run.token());
    if (!inFront) {
        throw PlatformError(QStringLiteral("The %1 window you started from isn't in front any more, so Tavelon "
                                           "sent no keys.")
                                .arg(target->name.isEmpty() ? keystroke.application : target->name));
    }
    const bool sent = co_await desktop_.keys.sendChord(keystroke.chord);
    if (!sent) {
        throw ActionError::scriptFailed(
            QStringLiteral("Tavelon couldn't send the keys of “%1”: the display has no XTest extension, or no "
                           "key of this keyboard layout types them.")
                .arg(item.title));
    }
}

} // namespace vima
