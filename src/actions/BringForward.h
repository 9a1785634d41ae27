#pragma once

#include "actions/DesktopAccess.h"
#include "async/CancellationToken.h"
#include "platform/RunningApplication.h"

#include <QCoroTask>

namespace vima {

// Brings the target's window to the front unless it is there, gives it
// `settle` seconds, and a little longer when the window manager is slow.
// Whether the target is in front now; false at once when its window is gone.
QCoro::Task<bool> bringForward(const DesktopAccess &desktop, RunningApplication target, double settle,
                               CancellationToken token);

} // namespace vima
