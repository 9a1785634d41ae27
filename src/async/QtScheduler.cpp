#include "async/QtScheduler.h"

#include <cmath>

namespace vima {

QtScheduler::QtScheduler() { clock_.start(); }

QtScheduler::~QtScheduler()
{
    for (auto &[id, timer] : timers_)
        delete timer.data();
}

double QtScheduler::now() const { return clock_.nsecsElapsed() / 1e9; }

Scheduler::TimerId QtScheduler::schedule(double seconds, std::function<void()> callback)
{
    const double ms = std::isfinite(seconds) ? std::max(0.0, seconds * 1000.0) : 0.0;
    const TimerId id = next_++;
    auto *timer = new QTimer;
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, timer, callback = std::move(callback)] {
        timers_.erase(id);
        timer->deleteLater();
        callback();
    });
    timers_.emplace(id, timer);
    timer->start(static_cast<int>(std::min(ms, 2.0e9)));
    return id;
}

void QtScheduler::cancel(TimerId id)
{
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    if (QTimer *timer = it->second) {
        timer->stop();
        timer->deleteLater();
    }
    timers_.erase(it);
}

Scheduler &Scheduler::system()
{
    static QtScheduler scheduler;
    return scheduler;
}

} // namespace vima
