#pragma once

#include <QCoroTask>
#include <QEventLoop>
#include <QTimer>
#include <QtGlobal>

#include <exception>
#include <optional>

namespace vima::test {

// Runs a task to its end in a nested event loop and returns its result, or
// rethrows what it threw (QCoro::waitFor never returns from a task that throws).
// A task still running after `timeoutMs` aborts the test program.
template<typename T>
T await(QCoro::Task<T> task, int timeoutMs = 30000)
{
    QEventLoop loop;
    bool done = false;
    std::exception_ptr error;
    std::optional<std::conditional_t<std::is_void_v<T>, bool, T>> result;
    auto run = [&]() -> QCoro::Task<void> {
        try {
            if constexpr (std::is_void_v<T>) {
                co_await task;
                result = true;
            } else {
                result = co_await task;
            }
        } catch (...) {
            error = std::current_exception();
        }
        done = true;
        loop.quit();
    };
    auto runner = run();
    if (!done) {
        QTimer::singleShot(timeoutMs, &loop, [&] {
            if (!done)
                qFatal("a task did not finish within %d ms", timeoutMs);
        });
        loop.exec();
    }
    if (error)
        std::rethrow_exception(error);
    if constexpr (!std::is_void_v<T>)
        return *std::move(result);
}

} // namespace vima::test
