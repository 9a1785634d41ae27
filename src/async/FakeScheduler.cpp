#include "async/FakeScheduler.h"

#include <cmath>
#include <limits>

namespace vima {

Scheduler::TimerId FakeScheduler::schedule(double seconds, std::function<void()> callback)
{
    const double delay = std::isfinite(seconds) ? std::max(0.0, seconds) : 0.0;
    const TimerId id = next_++;
    timers_.emplace(std::make_pair(now_ + delay, id), std::move(callback));
    return id;
}

void FakeScheduler::cancel(TimerId id)
{
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->first.second == id) {
            timers_.erase(it);
            return;
        }
    }
}

bool FakeScheduler::runNext(double until)
{
    if (timers_.empty() || timers_.begin()->first.first > until)
        return false;
    auto node = timers_.extract(timers_.begin());
    now_ = std::max(now_, node.key().first);
    node.mapped()();
    return true;
}

void FakeScheduler::advance(double seconds)
{
    const double until = now_ + seconds;
    while (runNext(until)) {
    }
    now_ = std::max(now_, until);
}

void FakeScheduler::runAll()
{
    while (runNext(std::numeric_limits<double>::infinity())) {
    }
}

} // namespace vima
