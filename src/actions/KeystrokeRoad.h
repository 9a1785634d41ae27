#pragma once

#include "actions/ActionRun.h"
#include "actions/ActionRunner.h"
#include "actions/DesktopAccess.h"
#include "model/Keystroke.h"
#include "model/RingItem.h"

#include <QCoroTask>

namespace vima {

// What the runner does with a keystroke slot: brings the window of the slot's
// application back to the front and sends it the keys with XTest, as the
// stored script does with System Events on the other platform. The keys only
// ever go to that application: when the ring opened over another one, or its
// window can't be brought back, nothing is sent. Installs itself as the
// runner's keystroke road; it must outlive the runner's work.
class KeystrokeRoad {
public:
    using Target = ActionRunner::Target;

    KeystrokeRoad(ActionRunner &runner, DesktopAccess desktop);

    QCoro::Task<void> run(const ActionRun &run, Keystroke keystroke, RingItem item, Target target);

private:
    DesktopAccess desktop_;
};

} // namespace vima
