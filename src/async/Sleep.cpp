#include "async/Sleep.h"

#include "async/Cancelled.h"

#include <coroutine>
#include <optional>

namespace vima {
namespace {

// Suspends until the timer fires or the token is cancelled, whichever is first.
class TimerAwaiter {
public:
    TimerAwaiter(double seconds, Scheduler &scheduler, std::optional<CancellationToken> token)
        : seconds_(seconds), scheduler_(scheduler), token_(std::move(token)) {}

    bool await_ready() const { return token_ && token_->isCancelled(); }

    void await_suspend(std::coroutine_handle<> handle)
    {
        timer_ = scheduler_.schedule(seconds_, [this, handle] {
            if (token_)
                token_->removeCallback(registration_);
            handle.resume();
        });
        if (token_) {
            registration_ = token_->onCancel([this, handle] {
                scheduler_.cancel(timer_);
                handle.resume();
            });
        }
    }

    void await_resume() const
    {
        if (token_)
            token_->throwIfCancelled();
    }

private:
    double seconds_;
    Scheduler &scheduler_;
    std::optional<CancellationToken> token_;
    Scheduler::TimerId timer_ = 0;
    CancellationToken::Registration registration_ = 0;
};

} // namespace

QCoro::Task<void> sleep(double seconds, CancellationToken token, Scheduler &scheduler)
{
    co_await TimerAwaiter(seconds, scheduler, std::move(token));
}

QCoro::Task<void> settle(double seconds, Scheduler &scheduler)
{
    co_await TimerAwaiter(seconds, scheduler, std::nullopt);
}

} // namespace vima
