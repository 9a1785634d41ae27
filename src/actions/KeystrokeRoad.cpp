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

QString displayName(const DesktopApp &app) { return app.name.isEmpty() ? app.bundleID : app.name; }

} // namespace

KeystrokeRoad::KeystrokeRoad(ActionRunner &runner, DesktopAccess desktop, const ApplicationCatalog &catalog)
    : desktop_(desktop), catalog_(catalog)
{
    runner.runKeystroke = [this](const ActionRun &run, Keystroke keystroke, RingItem item, Target target) {
        return this->run(run, std::move(keystroke), std::move(item), std::move(target));
    };
}

DesktopApp KeystrokeRoad::applicationOf(const Keystroke &keystroke) const
{
    DesktopApp app;
    if (keystroke.byName) {
        // A script that names the application by name tells nothing more: its
        // windows' class most likely carries that name.
        app.name = keystroke.application;
        app.startupWMClass = keystroke.application;
        return app;
    }
    app.bundleID = keystroke.application;
    return catalog_.find(keystroke.application).value_or(app);
}

RunningApplication KeystrokeRoad::recipientOf(const Keystroke &keystroke, const RingItem &item,
                                              const Target &target) const
{
    if (target && isFor(*target, keystroke))
        return *target;
    const DesktopApp app = applicationOf(keystroke);
    if (const auto window = desktop_.activator.openWindow(app))
        return *window;
    throw ActionError::notFound(
        QStringLiteral("“%1” sends its keys to “%2”, which has no window open, so Tavelon sent nothing.")
            .arg(item.title, displayName(app)));
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
        throw PlatformError(message.arg(recipient.name.isEmpty() ? keystroke.application : recipient.name));
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
