#pragma once

#include <QtGlobal>
#include <functional>

namespace vima {

// The clock and timers that timed work runs on. Production code uses
// Scheduler::system(); tests inject a FakeScheduler so nothing really waits.
class Scheduler {
public:
    using TimerId = quint64;

    virtual ~Scheduler() = default;

    // Seconds on a monotonic clock.
    virtual double now() const = 0;
    // Runs `callback` once on the main thread after `seconds` (clamped to >= 0).
    virtual TimerId schedule(double seconds, std::function<void()> callback) = 0;
    // Forgets a timer that has not fired yet; unknown ids are ignored.
    virtual void cancel(TimerId id) = 0;

    static Scheduler &system();
};

} // namespace vima
