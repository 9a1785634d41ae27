#include "actions/BringForward.h"

#include "async/Sleep.h"

namespace vima {
namespace {

// A window manager on a busy machine, or a full desktop, can take seconds.
constexpr double lateActivationLimit = 3.0;
constexpr double lateActivationPoll = 0.02;

} // namespace

QCoro::Task<bool> bringForward(const DesktopAccess &desktop, RunningApplication target, double settle,
                               CancellationToken token)
{
    if (desktop.activator.isActive(target))
        co_return true;
    if (!desktop.activator.activate(target))
        co_return false;
    co_await sleep(settle, token, desktop.scheduler);
    const double limit = desktop.scheduler.now() + lateActivationLimit;
    while (!desktop.activator.isActive(target) && desktop.scheduler.now() < limit)
        co_await sleep(lateActivationPoll, token, desktop.scheduler);
    co_return desktop.activator.isActive(target);
}

} // namespace vima
