#pragma once

#include "async/CancellationToken.h"
#include "async/Scheduler.h"

#include <QCoroTask>

namespace vima {

// Waits `seconds` on the scheduler; throws Cancelled at once when the token is
// (or becomes) cancelled.
QCoro::Task<void> sleep(double seconds, CancellationToken token,
                        Scheduler &scheduler = Scheduler::system());

// Waits `seconds` on the scheduler whatever happens meanwhile: for pauses that
// must run their course (letting another application catch up).
QCoro::Task<void> settle(double seconds, Scheduler &scheduler = Scheduler::system());

} // namespace vima
