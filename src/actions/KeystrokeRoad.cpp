#include "actions/KeystrokeRoad.h"

#include "actions/ActionError.h"
#include "actions/BringForward.h"
#include "actions/SelectionError.h"
#include "model/AppSuggestions.h"
#include "platform/PlatformError.h"

namespace vima {
namespace {

// The pause the stored script makes between activating and typing.
constexpr double activationSettle = 0.05;

bool isFor(const RunningApplication &window, const Keystroke &keystroke, const AppIdentity &app)
{
    return (keystroke.byName && window.name == keystroke.application) || app.isNamedByAny(window.names());
}

QString displayName(const DesktopApp &app) { return app.name.isEmpty() ? app.bundleID : app.name; }

} // namespace

KeystrokeRoad::KeystrokeRoad(ActionRunner &runner, DesktopAccess desktop, const ApplicationCatalog &catalog)
    : desktop_(desktop), catalog_(catalog)
{
    runner.runKeystroke = [this](const ActionRun &run, Keystroke keystroke, RingItem item, Target target) {
        return this->run(run, std::move(keystroke), std::move(item), std::move(target));
    };
}

QString KeystrokeRoad::nameOf(const Keystroke &keystroke) const
{
    if (const auto app = catalog_.findInstalled(AppIdentity(keystroke.application)))
        return displayName(*app);
    const QString known = knownAppName(keystroke.application);
    return known.isEmpty() ? keystroke.application : known;
}

RunningApplication KeystrokeRoad::recipientOf(const Keystroke &keystroke, const RingItem &item,
                                              const Target &target) const
{
    const AppIdentity app = catalog_.identity(keystroke.application);
    if (target && isFor(*target, keystroke, app))
        return *target;
    if (const auto window = desktop_.activator.openWindow(app))
        return *window;
    throw ActionError::notFound(
        QStringLiteral("“%1” sends its keys to “%2”, which has no window open, so Tavelon sent nothing.")
            .arg(item.title, nameOf(keystroke)));
}

QCoro::Task<void> KeystrokeRoad::run(const ActionRun &run, Keystroke keystroke, RingItem item, Target target)
{
    if (!desktop_.accessibility.isTrusted())
        throw SelectionError::notPermitted();
    const RunningApplication recipient = recipientOf(keystroke, item, target);
    const bool startedThere = target == recipient;
    const bool inFront = co_await bringForward(desktop_, recipient, activationSettle, run.token());
    if (!inFront) {
        const QString message = startedThere
                                    ? QStringLiteral("The %1 window you started from isn't in front any more, so "
                                                     "Tavelon sent no keys.")
                                    : QStringLiteral("The %1 window didn't come to the front, so Tavelon sent "
                                                     "no keys.");
        throw PlatformError(message.arg(recipient.name.isEmpty() ? nameOf(keystroke) : recipient.name));
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
