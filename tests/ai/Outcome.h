#pragma once

#include "ai/LLMError.h"

#include <QCoroTask>
#include <QTest>
#include <memory>
#include <optional>
#include <type_traits>

namespace vima {

// How a started coroutine ended, so a test can drive the event loop (or a fake
// clock) while it runs and look at the result afterwards.
template<typename T>
struct Outcome {
    using Value = std::conditional_t<std::is_void_v<T>, bool, T>;

    bool done = false;
    std::optional<Value> value;
    std::optional<LLMError> error;
    std::optional<QString> otherError;
};

template<typename T>
QCoro::Task<void> drive(QCoro::Task<T> task, std::shared_ptr<Outcome<T>> outcome)
{
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            outcome->value = true;
        } else {
            outcome->value = co_await std::move(task);
        }
    } catch (const LLMError &error) {
        outcome->error = error;
    } catch (const std::exception &error) {
        outcome->otherError = QString::fromUtf8(error.what());
    }
    outcome->done = true;
}

template<typename T>
class Running {
public:
    explicit Running(QCoro::Task<T> task)
        : outcome_(std::make_shared<Outcome<T>>()), driver_(drive(std::move(task), outcome_))
    {
    }

    const Outcome<T> *operator->() const { return outcome_.get(); }
    // Runs the event loop until the work ends, for at most `ms`.
    bool wait(int ms = 10000) const
    {
        return QTest::qWaitFor([this] { return outcome_->done; }, ms);
    }

private:
    std::shared_ptr<Outcome<T>> outcome_;
    QCoro::Task<void> driver_;
};

template<typename T>
Running<T> start(QCoro::Task<T> task)
{
    return Running<T>(std::move(task));
}

} // namespace vima
