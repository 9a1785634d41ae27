#pragma once

#include "async/Scheduler.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <map>

namespace vima {

// Timers of the Qt event loop on the calling thread.
class QtScheduler final : public Scheduler {
public:
    QtScheduler();
    ~QtScheduler() override;

    double now() const override;
    TimerId schedule(double seconds, std::function<void()> callback) override;
    void cancel(TimerId id) override;

private:
    QElapsedTimer clock_;
    TimerId next_ = 1;
    std::map<TimerId, QPointer<QTimer>> timers_;
};

} // namespace vima
