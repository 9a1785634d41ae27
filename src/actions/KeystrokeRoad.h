#pragma once

#include "actions/ActionRun.h"
#include "actions/ActionRunner.h"
#include "actions/DesktopAccess.h"
#include "model/Keystroke.h"
#include "model/RingItem.h"
#include "platform/ApplicationCatalog.h"

#include <QCoroTask>

namespace vima {

// What the runner does with a keystroke slot: brings a window of the slot's
// application to the front and sends it the keys with XTest, as the stored
// script does with System Events on the other platform. The window the ring
// opened over is used when it is the application's (AppIdentity.h: under any
// of its ids or window classes), and no other; otherwise its window most
// likely in use. The keys only ever go to that application: when it has no
// window open, or its window won't come forward, nothing is sent.
// Installs itself as the runner's keystroke road; it must outlive the
// runner's work.
class KeystrokeRoad {
public:
    using Target = ActionRunner::Target;

    // `catalog` names the applications; it must outlive the road.
    KeystrokeRoad(ActionRunner &runner, DesktopAccess desktop, const ApplicationCatalog &catalog);

    QCoro::Task<void> run(const ActionRun &run, Keystroke keystroke, RingItem item, Target target);

private:
    // The slot's application as the user knows it.
    QString nameOf(const Keystroke &keystroke) const;
    // Where the keys go: the target when it is the application's, else its
    // open window; throws when it has none.
    RunningApplication recipientOf(const Keystroke &keystroke, const RingItem &item, const Target &target) const;

    DesktopAccess desktop_;
    const ApplicationCatalog &catalog_;
};

} // namespace vima
