#pragma once

#include "async/Scheduler.h"

#include <map>
#include <utility>

namespace vima {

// A scheduler whose clock only moves when told to: timed code runs at once,
// in order of due time, as `advance` passes over it.
class FakeScheduler final : public Scheduler {
public:
    double now() const override { return now_; }
    TimerId schedule(double seconds, std::function<void()> callback) override;
    void cancel(TimerId id) override;

    // Moves the clock forward, running every timer that falls due on the way
    // (also those scheduled by the callbacks themselves).
    void advance(double seconds);
    // Runs timers until none is left, moving the clock to each one's due time.
    void runAll();
    qsizetype pendingCount() const { return static_cast<qsizetype>(timers_.size()); }

private:
    bool runNext(double until);

    double now_ = 0;
    TimerId next_ = 1;
    // Keyed by (due time, id): equal due times run in scheduling order.
    std::map<std::pair<double, TimerId>, std::function<void()>> timers_;
};

} // namespace vima
